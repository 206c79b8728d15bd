#include "ui/gdi_manager.h"

#include <QImage>
#include <QPainter>
#include <cwchar>
#include <string>

#include "platform/codepage.h"
#include "ui/picture_resource.h"

CGdiManger::CGdiManger() : m_nReserved1(12), m_nReserved2(0xFAFFFF) {}

CGdiManger::~CGdiManger() = default;

wchar_t* CGdiManger::AnsiToWide(const char* text) {
  if (!text) return nullptr;
  std::wstring wide = codepage::GbkToWide(text);
  auto* copy = new wchar_t[wide.size() + 1];
  std::wmemcpy(copy, wide.c_str(), wide.size() + 1);
  return copy;
}

void CGdiManger::DrawImageFile(CString path, RECT rect, QPainter* dc) {
  if (!dc || rect.Width() <= 0 || rect.Height() <= 0) return;
  QImage image = LoadPictureFile(path);
  if (image.isNull()) return;
  dc->drawImage(QRect(rect.left, rect.top, rect.Width(), rect.Height()), image);
}

void CGdiManger::DrawImageFileAt(CString path, POINT pt, QPainter* dc) {
  if (!dc) return;
  QImage image = LoadPictureFile(path);
  if (image.isNull()) return;
  dc->drawImage(QPoint(pt.x, pt.y), image);
}
