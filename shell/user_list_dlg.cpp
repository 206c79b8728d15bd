#include "shell/user_list_dlg.h"

#include <QTreeWidget>

#include "core/user_info.h"
#include "settings/config_host.h"
#include "shell/dev_tree.h"

namespace {

constexpr int kItemHeight = 20;

void SetItemHeight(QTreeWidget* tree, int height) {
  tree->setStyleSheet(QString("QTreeView::item { height: %1px; }").arg(height));
}

bool IsRoot(const QTreeWidgetItem* item) { return item->parent() == nullptr; }
bool ParentIsRoot(const QTreeWidgetItem* item) { return item->parent() != nullptr && IsRoot(item->parent()); }

}  // namespace

CUserListDlg::CUserListDlg(QWidget* parent) : CConfigPanel(IDD, parent, "Images\\DevlistBk.png") {}

QTreeWidget* CUserListDlg::UserTree() const { return qobject_cast<QTreeWidget*>(GetDlgItem(IDC_USER_TREE)); }

QTreeWidget* CUserListDlg::RoleTree() const { return qobject_cast<QTreeWidget*>(GetDlgItem(IDC_ROLE_TREE)); }

BOOL CUserListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (QTreeWidget* tree : {UserTree(), RoleTree()}) {
    if (tree == nullptr) continue;
    SetItemHeight(tree, kItemHeight);
    tree->setHeaderHidden(true);
  }
  if (QTreeWidget* tree = UserTree())
    connect(tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClickUserTree(item); });
  if (QTreeWidget* tree = RoleTree())
    connect(tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClickRoleTree(item); });
  CDevTree::GetInstance()->InitUserTree(UserTree());
  CDevTree::GetInstance()->InitRoleTree(RoleTree());
  m_bReady = 1;
  Layout();
  return TRUE;
}

void CUserListDlg::RefreshUserList() { CDevTree::GetInstance()->InitUserTree(UserTree()); }

void CUserListDlg::RefreshRoleList() { CDevTree::GetInstance()->InitRoleTree(RoleTree()); }

void CUserListDlg::OnClickUserTree(QTreeWidgetItem* hit) {
  if (hit == nullptr || m_pHost == nullptr) return;
  if (IsRoot(hit)) {
    m_pHost->ShowUserInfo(nullptr);
    m_pHost->ShowGroupInfo(nullptr);
  } else if (ParentIsRoot(hit)) {  // a group, also one without users
    m_pHost->ShowGroupInfo(static_cast<GroupInfo*>(CDevTree::ItemData(hit)));
  } else if (hit->childCount() == 0) {  // a user
    m_pHost->ShowUserInfo(static_cast<UserInfo*>(CDevTree::ItemData(hit)));
  }
}

void CUserListDlg::OnClickRoleTree(QTreeWidgetItem* hit) {
  if (hit == nullptr || m_pHost == nullptr) return;
  if (IsRoot(hit)) m_pHost->ShowRoleInfo(nullptr);
  else if (ParentIsRoot(hit)) m_pHost->ShowRoleInfo(static_cast<RoleInfo*>(CDevTree::ItemData(hit)));
}

void CUserListDlg::Layout() {
  if (!m_bReady) return;
  const int w = width(), h = height();
  if (QTreeWidget* tree = UserTree()) tree->setGeometry(1, 1, w - 2, h / 2 - 12);
  if (QTreeWidget* tree = RoleTree()) tree->setGeometry(1, h / 2 + 10, w - 2, h / 2 - 12);
}

void CUserListDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  Layout();
}

