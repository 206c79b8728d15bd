// The record-scheme page: its controls, the showing of a scheme, the trigger
// controls, the channel trees and the layout. The scheme buttons, the folder
// pickers and the default scheme are in setting_record_dlg_edit.cpp.
#include "settings/record/setting_record_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "core/startup_settings.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "records/recording/rec_environment.h"
#include "records/recording/rec_streams.h"
#include "records/recording/record_messages.h"
#include "settings/record/default_rec_scheme.h"
#include "settings/record/rec_page_layout.h"
#include "ui/control_fit.h"
#include "ui/image_button.h"
#include "ui/picture_resource.h"
#include "ui/skin_group_box.h"
#include "ui/transparent_static.h"

namespace {

constexpr int kItemHeight = 20;
constexpr int kComboHeight = 23;  // a combo's rectangle in the layout includes its dropped list
constexpr int kImgRoot = 0;
constexpr int kKeyNameRole = Qt::UserRole;
constexpr int kKeyIdRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kCheckRole = Qt::UserRole + 3;  // a parent's check state as its children last followed it

// Labels and their texts; the span rows' labels follow from the rows.
struct LabelText {
  int id;
  UINT text;
};
constexpr LabelText kLabels[] = {
    {1173, 732}, {1174, 733}, {1175, 734}, {1241, 735}, {1259, 738}, {1260, 739}, {1203, 741}, {1180, 743},
    {1183, 744}, {1181, 745}, {1188, 746}, {1189, 747}, {1179, 748}, {1182, 749}, {1284, 799},
};
constexpr LabelText kFrames[] = {{1256, 730}, {1257, 731}, {1258, 740}};
constexpr LabelText kPathLabels[] = {{1176, 736}, {1177, 736}, {1178, 736}};
constexpr LabelText kButtons[] = {{1184, 737}, {1185, 737}, {1186, 737}, {1144, 764},
                                  {1145, 765}, {1172, 753}, {1187, 754}, {1171, 755}};
constexpr UINT kDayTexts[] = {767, 768, 769, 770, 771, 772, 773, 774};

QString Text(UINT id) { return LoadStringW(id); }

template <class T>
T* Item(const CWnd* page, int id) {
  return qobject_cast<T*>(page->GetDlgItem(id));
}

void FillCombo(QComboBox* combo, const QStringList& items, int selection) {
  if (combo == nullptr) return;
  combo->clear();
  combo->addItems(items);
  combo->setCurrentIndex(selection);
}

int Selection(const CWnd* page, int id) {
  auto* combo = Item<QComboBox>(page, id);
  return combo != nullptr ? combo->currentIndex() : 0;
}

void Select(const CWnd* page, int id, int index) {
  if (auto* combo = Item<QComboBox>(page, id); combo && index >= 0 && index < combo->count())
    combo->setCurrentIndex(index);
}

std::string ComboText(const CWnd* page, int id) {
  auto* combo = Item<QComboBox>(page, id);
  return combo != nullptr ? codepage::FromQString(combo->currentText()) : std::string();
}

void Enable(const CWnd* page, int id, bool on) {
  if (QWidget* control = page->GetDlgItem(id)) control->setEnabled(on);
}

QIcon TreeImage(int index) {
  static std::map<int, QIcon> images;
  auto found = images.find(index);
  if (found != images.end()) return found->second;
  const QImage picture = LoadPictureFile(PictureResourcePath("tree_" + std::to_string(index), "PNG"));
  QIcon icon;
  if (!picture.isNull()) icon = QIcon(QPixmap::fromImage(picture));
  return images.emplace(index, icon).first->second;
}

// A caption wider than its button ("Modify Strategy" in English) is drawn a
// little smaller, down to 7 points, so that it stays whole on the picture.
void FitCaption(CImageButton* button) {
  QFont font = button->parentWidget() ? button->parentWidget()->font() : button->font();
  const QString caption = QString::fromStdWString(button->GetCaptionW());
  constexpr int kMargin = 4;
  while (font.pointSizeF() > 7 && QFontMetrics(font).horizontalAdvance(caption) > button->width() - kMargin)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  button->setFont(font);
}

void SetItemImage(QTreeWidgetItem* item, int image) {
  item->setData(0, kImageRole, image);
  item->setIcon(0, TreeImage(image));
}

QTreeWidgetItem* AddRoot(QTreeWidget* tree) {
  tree->clear();
  auto* root = new QTreeWidgetItem(tree);
  root->setText(0, Text(766));
  root->setFlags(root->flags() | Qt::ItemIsUserCheckable);
  root->setCheckState(0, Qt::Unchecked);
  SetItemImage(root, kImgRoot);
  return root;
}

void AddChannel(QTreeWidgetItem* root, const ChannelItem& channel) {
  auto* item = new QTreeWidgetItem(root);
  item->setText(0, codepage::ToQString(channel.text));
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(0, Qt::Unchecked);
  item->setData(0, kKeyNameRole, QByteArray::fromStdString(channel.key.devName));
  item->setData(0, kKeyIdRole, QByteArray::fromStdString(channel.key.devId));
  SetItemImage(item, channel.image);
}

ChannelKey ItemKey(const QTreeWidgetItem* item) {
  return ChannelKey{item->data(0, kKeyNameRole).toByteArray().toStdString(),
                    item->data(0, kKeyIdRole).toByteArray().toStdString()};
}

}  // namespace

CSettingRecordDlg::CSettingRecordDlg(QWidget* parent) : CConfigPanel(IDD, parent, "Images\\Pagebk.jpg") {}

CSettingRecordDlg::~CSettingRecordDlg() = default;  // the message box is a child widget

IRecEnvironment& CSettingRecordDlg::Env() const { return m_pEnv ? *m_pEnv : SystemRecEnvironment(); }
IRecStreams& CSettingRecordDlg::Streams() const { return m_pStreams ? *m_pStreams : ProgramRecStreams(); }

BOOL CSettingRecordDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  InitControls();
  InitTrees();
  ResetTimeSpans();
  CreateDefaultScheme();
  if (auto* name = Item<QLineEdit>(this, IDC_SCHEME_NAME)) name->setMaxLength(256);
  if (auto* days = Item<QLineEdit>(this, IDC_SAVE_DATE)) days->setMaxLength(256);
  for (int id : {IDC_PATH1, IDC_PATH2, IDC_PATH3})
    if (auto* path = Item<QLineEdit>(this, id)) path->setMaxLength(1024);
  m_bInitialized = 1;
  Enable(this, IDC_PRE_REC_TIME, false);
  Layout();
  return TRUE;
}

void CSettingRecordDlg::InitControls() {
  // One-line labels stand centred beside their controls; the note may take two lines.
  auto label = [this](int id, const QString& text) {
    auto* item = ReplaceDlgItem(id, new CTransparentStatic(nullptr, id == IDC_NOTE ? SS_LEFT : SS_CENTERIMAGE));
    item->SetTextW(text.toStdWString());
  };
  for (const LabelText& text : kLabels) label(text.id, Text(text.text));
  for (int i = 0; i < 3; ++i) label(kPathLabels[i].id, QString("%1%2").arg(Text(kPathLabels[i].text)).arg(i + 1));
  for (const LabelText& frame : kFrames) ReplaceDlgItem(frame.id, new CTGroupBox())->setTitle(Text(frame.text));
  for (int k = 0; k < kSpanRowCount; ++k) {
    label(kSpanFromLabel + k, Text(751));
    label(kSpanToLabel + k, Text(752));
    if (auto* box = Item<QCheckBox>(this, kSpanCheck[k])) box->setText(QString("%1%2").arg(Text(750)).arg(k + 1));
    for (int id : {kSpanStart[k], kSpanEnd[k]})
      if (auto* picker = Item<QDateTimeEdit>(this, id)) picker->setDisplayFormat("HH:mm:ss");
  }
  if (auto* audio = Item<QCheckBox>(this, IDC_REC_AUDIO)) audio->setText(Text(742));
  // The check boxes' texts stand over the page's picture like the labels, in the labels' colour.
  for (int id : {int(IDC_REC_AUDIO), 1006, 1011, 1146, 1147, 1148, 1093, 1149}) {
    if (auto* box = Item<QCheckBox>(this, id)) {
      QPalette colours = box->palette();
      for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colours.setColor(group, QPalette::WindowText, palette().color(group, QPalette::WindowText));
      box->setPalette(colours);
    }
  }

  FillCombo(Item<QComboBox>(this, IDC_STORAGE_SCHEME), {Text(756), Text(757)}, 1);
  FillCombo(Item<QComboBox>(this, IDC_START_TYPE), {Text(758), Text(759), Text(798)}, 0);
  FillCombo(Item<QComboBox>(this, IDC_REC_STREAM), {Text(762), Text(763)}, 1);
  FillCombo(Item<QComboBox>(this, IDC_FILE_TIME), {"10", "20", "30", "40", "50", "60"}, 2);
  FillCombo(Item<QComboBox>(this, IDC_ON_OFF), {Text(760), Text(761)}, 0);
  FillCombo(Item<QComboBox>(this, IDC_PRE_REC_TIME), {"3", "5", "8", "10"}, 1);
  if (auto* det = Item<QLineEdit>(this, IDC_DET_REC_TIME)) {
    det->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), det));
    det->setText("60");
  }
  if (auto* trigger = Item<QComboBox>(this, IDC_START_TYPE))
    connect(trigger, QOverload<int>::of(&QComboBox::activated), this, [this](int index) { OnTriggerChanged(index); });

  for (const LabelText& button : kButtons) {
    auto* image = ReplaceDlgItem(button.id, new CImageButton());
    const bool schemeButton = button.id == IDC_BTN_ADD || button.id == IDC_BTN_DEL || button.id == IDC_BTN_MODIFY;
    image->SetImageResource(schemeButton ? 190 : 189, "PNG");
    image->SetCaptionW(Text(button.text).toStdWString());
  }
  OnClicked(IDC_BTN_BROWSE1, [this] { OnBnClickedBrowse(1); });
  OnClicked(IDC_BTN_BROWSE2, [this] { OnBnClickedBrowse(2); });
  OnClicked(IDC_BTN_BROWSE3, [this] { OnBnClickedBrowse(3); });
  OnClicked(IDC_BTN_ADD_DEV, [this] { OnBnClickedAddDev(); });
  OnClicked(IDC_BTN_REMOVE_DEV, [this] { OnBnClickedRemoveDev(); });
  OnClicked(IDC_BTN_ADD, [this] { OnBnClickedAdd(); });
  OnClicked(IDC_BTN_MODIFY, [this] { OnBnClickedModify(); });
  OnClicked(IDC_BTN_DEL, [this] { OnBnClickedDelScheme(); });
}

void CSettingRecordDlg::InitTrees() {
  for (int id : {IDC_SCHEME_TREE, IDC_DEV_TREE}) {
    auto* tree = Item<QTreeWidget>(this, id);
    if (tree == nullptr) continue;
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(true);
    tree->setUniformRowHeights(true);
    tree->setIconSize(QSize(16, 16));
    tree->setStyleSheet(QString("QTreeView::item { height: %1px; }").arg(kItemHeight));
    connect(tree, &QTreeWidget::itemPressed, this, [this, tree](QTreeWidgetItem* item) { OnTreeClick(tree, item); });
    // A tick of a parent's box reaches its children also when the press came
    // as the second click of a double click, which is no press of its own.
    connect(tree, &QTreeWidget::itemChanged, this, [](QTreeWidgetItem* item) {
      if (item->childCount() == 0) return;
      const int state = item->checkState(0);
      if (item->data(0, kCheckRole).toInt() == state) return;
      item->setData(0, kCheckRole, state);
      for (int i = 0; i < item->childCount(); ++i) item->child(i)->setCheckState(0, item->checkState(0));
    });
  }
  if (auto* scheme = Item<QTreeWidget>(this, IDC_SCHEME_TREE)) {
    scheme->setSelectionMode(QAbstractItemView::SingleSelection);
    AddRoot(scheme);
  }
  InitDevTree();
}

void CSettingRecordDlg::InitDevTree() {
  auto* tree = Item<QTreeWidget>(this, IDC_DEV_TREE);
  if (tree == nullptr) return;
  QTreeWidgetItem* root = AddRoot(tree);
  for (const ChannelItem& channel : RecordableChannelItems(g_lstDevInfo)) AddChannel(root, channel);
  tree->expandAll();
}

void CSettingRecordDlg::FillSchemeTree(const RecSchemeInfo& scheme) {
  auto* tree = Item<QTreeWidget>(this, IDC_SCHEME_TREE);
  if (tree == nullptr) return;
  QTreeWidgetItem* root = AddRoot(tree);
  for (const ChannelItem& channel : SchemeChannelItems(scheme, g_lstDevInfo)) AddChannel(root, channel);
  tree->expandAll();
}

std::vector<ChannelKey> CSettingRecordDlg::SchemeTreeChannels() const {
  std::vector<ChannelKey> keys;
  auto* tree = Item<QTreeWidget>(this, IDC_SCHEME_TREE);
  if (tree == nullptr || tree->topLevelItemCount() == 0) return keys;
  QTreeWidgetItem* root = tree->topLevelItem(0);
  for (int i = 0; i < root->childCount(); ++i) keys.push_back(ItemKey(root->child(i)));
  return keys;
}

void CSettingRecordDlg::OnBnClickedAddDev() {
  auto* all = Item<QTreeWidget>(this, IDC_DEV_TREE);
  auto* scheme = Item<QTreeWidget>(this, IDC_SCHEME_TREE);
  if (all == nullptr || scheme == nullptr || all->topLevelItemCount() == 0) return;
  if (scheme->topLevelItemCount() == 0) AddRoot(scheme);
  QTreeWidgetItem* allRoot = all->topLevelItem(0);
  std::vector<ChannelItem> ticked;
  for (int i = 0; i < allRoot->childCount(); ++i) {
    QTreeWidgetItem* item = allRoot->child(i);
    if (item->checkState(0) != Qt::Checked) continue;
    ticked.push_back(ChannelItem{ItemKey(item), codepage::FromQString(item->text(0)), item->data(0, kImageRole).toInt()});
  }
  for (const ChannelItem& channel : ChannelsToAdd(ticked, SchemeTreeChannels()))
    AddChannel(scheme->topLevelItem(0), channel);
  scheme->expandAll();
}

void CSettingRecordDlg::OnBnClickedRemoveDev() {
  auto* scheme = Item<QTreeWidget>(this, IDC_SCHEME_TREE);
  if (scheme == nullptr || scheme->topLevelItemCount() == 0) return;
  QTreeWidgetItem* root = scheme->topLevelItem(0);
  for (int i = root->childCount() - 1; i >= 0; --i)
    if (root->child(i)->checkState(0) == Qt::Checked) delete root->takeChild(i);
}

// A press on an item with children sets every child to the opposite of the
// item's state before the press; a press on its box then toggles the item
// itself, so the children follow the item.
void CSettingRecordDlg::OnTreeClick(QTreeWidget* tree, QTreeWidgetItem* item) {
  if (tree == nullptr || item == nullptr) return;
  if (item->childCount() > 0) {
    const Qt::CheckState next = item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    for (int i = 0; i < item->childCount(); ++i) item->child(i)->setCheckState(0, next);
  }
  tree->setCurrentItem(item);
}

void CSettingRecordDlg::UpdateDevIcons() {
  for (int id : {IDC_SCHEME_TREE, IDC_DEV_TREE}) {
    auto* tree = Item<QTreeWidget>(this, id);
    if (tree == nullptr || tree->topLevelItemCount() == 0) continue;
    QTreeWidgetItem* root = tree->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i) {
      QTreeWidgetItem* item = root->child(i);
      if (const DevInfo* dev = FindChannel(g_lstDevInfo, ItemKey(item))) SetItemImage(item, ItemOf(*dev).image);
    }
  }
}

LRESULT CSettingRecordDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_RECORD_STATE_CHANGED) {
    UpdateDevIcons();
    return 0;
  }
  return CConfigPanel::OnMessage(msg, wParam, lParam);
}

RecSchemeInfo* CSettingRecordDlg::ShownScheme() const {
  for (RecSchemeInfo* scheme : g_lstRecSchemeInfo)
    if (scheme == m_pCurRecScheme && m_strShownName && FixedTextView(scheme->SchemeName) == *m_strShownName)
      return scheme;
  return nullptr;
}

void CSettingRecordDlg::ResetTimeSpans() { ShowSpanRows(std::array<RecSpanRow, kSpanRowCount>{}); }

void CSettingRecordDlg::ShowSpanRows(const std::array<RecSpanRow, kSpanRowCount>& rows) {
  QStringList days;
  for (UINT id : kDayTexts) days << Text(id);
  for (int k = 0; k < kSpanRowCount; ++k) {
    const RecSpanRow& row = rows[static_cast<size_t>(k)];
    if (auto* box = Item<QCheckBox>(this, kSpanCheck[k])) box->setChecked(row.checked);
    FillCombo(Item<QComboBox>(this, kSpanDay[k]), days, row.dayIndex);
    if (auto* start = Item<QDateTimeEdit>(this, kSpanStart[k]))
      start->setTime(QTime(row.start.GetHour(), row.start.GetMinute(), row.start.GetSecond()));
    if (auto* end = Item<QDateTimeEdit>(this, kSpanEnd[k]))
      end->setTime(QTime(row.end.GetHour(), row.end.GetMinute(), row.end.GetSecond()));
  }
}

RecSchemeForm CSettingRecordDlg::ReadForm() const {
  RecSchemeForm form;
  form.name = codepage::FromQString(GetWindowTextW(GetDlgItem(IDC_SCHEME_NAME)));
  const int pathIds[] = {IDC_PATH1, IDC_PATH2, IDC_PATH3};
  for (size_t i = 0; i < 3; ++i) form.paths[i] = codepage::FromQString(GetWindowTextW(GetDlgItem(pathIds[i])));
  form.storageScheme = Selection(this, IDC_STORAGE_SCHEME);
  form.startType = Selection(this, IDC_START_TYPE);
  form.onOff = Selection(this, IDC_ON_OFF);
  form.recStreamType = Selection(this, IDC_REC_STREAM);
  auto* audio = Item<QCheckBox>(this, IDC_REC_AUDIO);
  form.recAudio = audio != nullptr && audio->isChecked() ? 1 : 0;
  form.fileTimeText = ComboText(this, IDC_FILE_TIME);
  form.preRecText = ComboText(this, IDC_PRE_REC_TIME);
  form.detRecText = codepage::FromQString(GetWindowTextW(GetDlgItem(IDC_DET_REC_TIME)));
  for (int k = 0; k < kSpanRowCount; ++k) {
    RecSpanRow& row = form.spans[static_cast<size_t>(k)];
    auto* box = Item<QCheckBox>(this, kSpanCheck[k]);
    row.checked = box != nullptr && box->isChecked();
    row.dayIndex = std::max(0, Selection(this, kSpanDay[k]));
    if (auto* start = Item<QDateTimeEdit>(this, kSpanStart[k]))
      row.start = TimeOfDay::FromHms(start->time().hour(), start->time().minute(), start->time().second());
    if (auto* end = Item<QDateTimeEdit>(this, kSpanEnd[k]))
      row.end = TimeOfDay::FromHms(end->time().hour(), end->time().minute(), end->time().second());
  }
  return form;
}

void CSettingRecordDlg::ShowSchemeInfo(RecSchemeInfo* shown) {
  if (shown == nullptr) return;
  RecSchemeInfo copy;
  {
    // The recording thread may switch a full scheme off meanwhile.
    CsLock lock(&g_csAppData);
    copy = *shown;
  }
  const RecSchemeInfo* scheme = &copy;
  const std::string name = FixedText(scheme->SchemeName);
  Enable(this, IDC_BTN_DEL, name != DefaultSchemeName());
  m_pCurRecScheme = shown;
  m_strShownName = name;
  SetWindowTextW(GetDlgItem(IDC_SCHEME_NAME), codepage::ToQString(name));
  SetWindowTextW(GetDlgItem(IDC_SAVE_DATE), QString::number(scheme->SaveDate));
  SetWindowTextW(GetDlgItem(IDC_PATH1), codepage::ToQString(FixedTextView(scheme->StoragePath1)));
  SetWindowTextW(GetDlgItem(IDC_PATH2), codepage::ToQString(FixedTextView(scheme->StoragePath2)));
  SetWindowTextW(GetDlgItem(IDC_PATH3), codepage::ToQString(FixedTextView(scheme->StoragePath3)));
  Select(this, IDC_PRE_REC_TIME, PreRecItem(scheme->PreRecTime));
  Select(this, IDC_FILE_TIME, FileTimeItem(scheme->RecFileTime, Selection(this, IDC_FILE_TIME)));
  Select(this, IDC_STORAGE_SCHEME, scheme->StorageScheme);
  Select(this, IDC_START_TYPE, scheme->StartType);
  const bool schedule = scheme->StartType == 0;
  Enable(this, IDC_FILE_TIME, schedule);
  Enable(this, IDC_DET_REC_TIME, !schedule);
  if (!schedule) SetWindowTextW(GetDlgItem(IDC_DET_REC_TIME), QString::number(scheme->DetRecTime));
  Select(this, IDC_ON_OFF, scheme->OnOff);
  Select(this, IDC_REC_STREAM, scheme->RecStreamType);
  if (auto* audio = Item<QCheckBox>(this, IDC_REC_AUDIO)) audio->setChecked(scheme->RecAudio != 0);
  FillSchemeTree(*scheme);
  ShowSpanRows(SpanRowsOf(scheme->lstRecTime));
}

void CSettingRecordDlg::OnTriggerChanged(int selection) {
  if (selection == 0) {
    Enable(this, IDC_DET_REC_TIME, false);
    Enable(this, IDC_FILE_TIME, true);
    Enable(this, IDC_PRE_REC_TIME, false);
    return;
  }
  Enable(this, IDC_FILE_TIME, false);
  Enable(this, IDC_DET_REC_TIME, true);
  Select(this, IDC_PRE_REC_TIME, 3);  // "10" seconds
  Enable(this, IDC_PRE_REC_TIME, true);
  if (auto* label = dynamic_cast<CTransparentStatic*>(GetDlgItem(IDC_DET_LABEL))) {
    label->SetTextW(Text(selection == 2 ? 1421 : 746).toStdWString());
    label->update();
  }
}

void CSettingRecordDlg::Layout() {
  if (!m_bInitialized) return;
  int policyWidth = 120;
  for (int id : {int(IDC_STORAGE_SCHEME), int(IDC_START_TYPE)})
    if (auto* combo = Item<QComboBox>(this, id)) policyWidth = std::max(policyWidth, ComboWidthForItems(combo));
  for (const auto& [id, rect] : RecPageLayout(GetClientRect(), g_nLanguage, policyWidth)) {
    QWidget* control = GetDlgItem(id);
    if (control == nullptr) continue;
    const int height = qobject_cast<QComboBox*>(control) ? kComboHeight : rect.bottom - rect.top;
    control->setGeometry(rect.left, rect.top, rect.right - rect.left, height);
    if (auto* button = dynamic_cast<CImageButton*>(control)) FitCaption(button);
  }
}

void CSettingRecordDlg::resizeEvent(QResizeEvent* event) {
  CConfigPanel::resizeEvent(event);
  Layout();
}

// Escape and Enter are swallowed by the panel; Alt+F4 does nothing here either.
void CSettingRecordDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier)) {
    event->accept();
    return;
  }
  CConfigPanel::keyPressEvent(event);
}

void CSettingRecordDlg::ShowMsgText(const QString& text) { m_pMsgDlg->ShowMsg(text.toStdWString(), 2); }

void CSettingRecordDlg::ShowMsg(UINT id) { ShowMsgText(Text(id)); }

void CSettingRecordDlg::ShowRefusal(UINT textId, int spanRow, const std::string& channel) {
  if (textId == 0) return;
  if (textId == 783) {
    ShowMsgText(QString("%1%2:%3").arg(Text(750)).arg(spanRow).arg(Text(783)));
  } else if (textId == 784) {
    ShowMsgText(QString("%1 %2").arg(codepage::ToQString(channel), Text(784)));
  } else {
    ShowMsg(textId);
  }
}
