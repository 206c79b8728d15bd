// CImageButton: the push button of the skinned dialogs, drawn from a picture
// resource. From the picture it builds, on the first paint after a face was
// loaded (and again when its size changes), cached pictures of its normal,
// pressed (face moved by one pixel), hover (brightened) and disabled (grey)
// looks over the parent's background, so transparent parts of the picture show
// the dialog behind. An alternate face lets a toggle button flip between two
// pictures (start / stop). A caption is drawn centred over the picture; under
// a caption the picture is stretched to the button (its corners kept), so that
// a longer caption stays on it.
#pragma once

#include <QImage>
#include <QPushButton>
#include <memory>

#include "platform/win_types.h"
#include "ui/picture_resource.h"
#include "ui/skin_colors.h"

class CImageButton : public QPushButton {
 public:
  // The caption colour that the hover look sets; setting it pins the colour.
  static constexpr COLORREF kHoverTextColor = skin::kMarkedCaption;

  explicit CImageButton(QWidget* parent = nullptr);
  ~CImageButton() override;

  // Load a face from a picture resource ("PNG"). Loading the standard face drops
  // the cached pictures and redraws. FALSE when the resource is missing or not a
  // picture: the button then has no such face.
  BOOL SetImageResource(UINT id, const char* type);
  BOOL SetImageResourceByName(const char* name, const char* type);
  BOOL SetAltImageResource(UINT id, const char* type);

  // 0 standard face, 1 alternate face, 2 disabled look; redraws.
  void SetButtonMode(int mode);
  // Only with an alternate face: every click flips the face.
  void EnableToggle(BOOL enable);

  void SetCaptionW(const CStringW& caption);
  void SetCaptionA(const CString& caption);  // kept, not drawn
  const CStringW& GetCaptionW() const { return m_strCaption; }
  void SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const { return m_crText; }

  void SetToolTipText(const CString& text, BOOL activate = TRUE);
  void SetToolTipTextW(const CStringW& text, BOOL activate = TRUE);

  // The parent's pixels (an image of the parent's client area, as the parent
  // painted it): the part under the button becomes the background of the looks.
  void SetBackgroundDC(const QImage& parentPixels);

  int GetCurType() const { return m_nCurType; }
  // The size of the standard face's picture; empty without one.
  QSize FaceSize() const { return m_pStdImage && m_pStdImage->IsValid() ? m_pStdImage->Bitmap().size() : QSize(); }
  bool IsHovering() const { return m_bIsHovering; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  BOOL LoadStdFace(std::unique_ptr<CPictureResource> picture, bool loaded);
  void BuildBitmaps();
  void OnClicked();

  BOOL m_bHaveAltImage = FALSE;
  BOOL m_bHaveBitmaps = FALSE;
  BOOL m_bDisabled = FALSE;
  BOOL m_bIsToggle = FALSE;
  BOOL m_bIsHovering = FALSE;
  BOOL m_bColorPinned = FALSE;
  int m_nCurType = 0;

  std::unique_ptr<CPictureResource> m_pAltImage;
  std::unique_ptr<CPictureResource> m_pStdImage;

  CString m_strCaptionA;
  CStringW m_strCaption;
  COLORREF m_crText = 0;
  BOOL m_bHasCaption = FALSE;
  QString m_strToolTip;

  QImage m_background;
  QImage m_stdNormal, m_stdPressed, m_stdHover;
  QImage m_altNormal, m_altPressed, m_altHover;
  QImage m_disabled;
};
