#include "ui/report_model.h"

#include <algorithm>

#include "platform/codepage.h"
#include "ui/sys_colors.h"

namespace {

Qt::Alignment CellAlignment(ColumnAlign align) {
  switch (align) {
    case ColumnAlign::Center:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case ColumnAlign::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

template <class T>
void InsertAt(std::vector<T>& values, int index, T value) {
  values.insert(values.begin() + std::clamp<int>(index, 0, static_cast<int>(values.size())), std::move(value));
}

template <class T>
void EraseAt(std::vector<T>& values, int index) {
  if (index >= 0 && index < static_cast<int>(values.size())) values.erase(values.begin() + index);
}

}  // namespace

ReportModel::ReportModel(QObject* parent) : QAbstractTableModel(parent) {}

int ReportModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows(); }

int ReportModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Columns(); }

ReportRowInfo* ReportModel::Record(int row) const { return IsRow(row) ? Row(row).record.get() : nullptr; }

QVariant ReportModel::data(const QModelIndex& index, int role) const {
  int row = index.row(), column = index.column();
  if (!IsRow(row) || !IsColumn(column)) return QVariant();
  const ReportRow& r = Row(row);
  switch (role) {
    case Qt::DisplayRole:
      if (column == 0 && !r.shown.isEmpty()) return r.shown;
      return codepage::ToQString(r.texts[static_cast<size_t>(column)]);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(CellAlignment(Column(column).align));
    case Qt::CheckStateRole:
      if (column == 0 && m_bCheckboxes) return r.checked ? Qt::Checked : Qt::Unchecked;
      return QVariant();
    case Qt::DecorationRole: {
      int image = r.images[static_cast<size_t>(column)];
      if (image >= 0 && image < static_cast<int>(m_images.size())) return m_images[static_cast<size_t>(image)];
      return QVariant();
    }
    case Qt::ForegroundRole:
      if (r.record) return ToQColor(r.record->crText[static_cast<size_t>(column)]);
      return QVariant();
    case Qt::BackgroundRole:
      if (r.record) return ToQColor(r.record->crBack[static_cast<size_t>(column)]);
      return QVariant();
    default:
      return QVariant();
  }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || !IsColumn(section)) return QVariant();
  if (role == Qt::DisplayRole) return codepage::ToQString(Column(section).title);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(CellAlignment(Column(section).align));
  return QVariant();
}

Qt::ItemFlags ReportModel::flags(const QModelIndex& index) const {
  // Check boxes change only through the list's own click handling.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int ReportModel::InsertRow(int index, const CString& text, int image, DWORD data) {
  index = std::clamp(index, 0, Rows());
  ReportRow row;
  row.texts.assign(m_columns.size(), CString());
  row.images.assign(m_columns.size(), -1);
  if (!row.texts.empty()) {
    row.texts[0] = text;
    row.images[0] = image;
  }
  row.record = std::make_shared<ReportRowInfo>();
  row.record->dwData = data;
  row.record->crText.assign(m_columns.size(), GetSysColor(COLOR_WINDOWTEXT));
  row.record->crBack.assign(m_columns.size(), GetSysColor(COLOR_WINDOW));
  beginInsertRows(QModelIndex(), index, index);
  m_rows.insert(m_rows.begin() + index, std::move(row));
  endInsertRows();
  return index;
}

void ReportModel::RemoveRow(int row) {
  if (!IsRow(row)) return;
  beginRemoveRows(QModelIndex(), row, row);
  m_rows.erase(m_rows.begin() + row);
  endRemoveRows();
}

void ReportModel::RemoveAllRows() {
  beginResetModel();
  m_rows.clear();
  endResetModel();
}

void ReportModel::SetRow(int row, ReportRow content) {
  if (!IsRow(row)) return;
  m_rows[static_cast<size_t>(row)] = std::move(content);
  emit dataChanged(index(row, 0), index(row, std::max(0, Columns() - 1)));
}

void ReportModel::CellChanged(int row, int column) {
  QModelIndex cell = index(row, column);
  emit dataChanged(cell, cell);
}

void ReportModel::SetText(int row, int column, const CString& text) {
  if (!IsRow(row) || !IsColumn(column)) return;
  m_rows[static_cast<size_t>(row)].texts[static_cast<size_t>(column)] = text;
  if (column == 0) m_rows[static_cast<size_t>(row)].shown.clear();
  CellChanged(row, column);
}

void ReportModel::SetShown(int row, const QString& text) {
  if (!IsRow(row) || Columns() == 0) return;
  m_rows[static_cast<size_t>(row)].shown = text;
  CellChanged(row, 0);
}

CString ReportModel::Text(int row, int column) const {
  return IsRow(row) && IsColumn(column) ? Row(row).texts[static_cast<size_t>(column)] : CString();
}

void ReportModel::SetImage(int row, int column, int image) {
  if (!IsRow(row) || !IsColumn(column)) return;
  m_rows[static_cast<size_t>(row)].images[static_cast<size_t>(column)] = image;
  CellChanged(row, column);
}

void ReportModel::SetChecked(int row, bool checked) {
  if (!IsRow(row)) return;
  m_rows[static_cast<size_t>(row)].checked = checked;
  if (Columns() > 0) CellChanged(row, 0);
}

void ReportModel::SetTextColor(int row, int column, COLORREF colour) {
  if (ReportRowInfo* record = Record(row); record && IsColumn(column)) {
    record->crText[static_cast<size_t>(column)] = colour;
    CellChanged(row, column);
  }
}

void ReportModel::SetBackColor(int row, int column, COLORREF colour) {
  if (ReportRowInfo* record = Record(row); record && IsColumn(column)) {
    record->crBack[static_cast<size_t>(column)] = colour;
    CellChanged(row, column);
  }
}

int ReportModel::InsertColumn(int index, const ReportColumn& column) {
  index = std::clamp(index, 0, Columns());
  beginInsertColumns(QModelIndex(), index, index);
  InsertAt(m_columns, index, column);
  for (ReportRow& row : m_rows) {
    InsertAt(row.texts, index, CString());
    InsertAt(row.images, index, -1);
    if (row.record) {
      InsertAt(row.record->crText, index, GetSysColor(COLOR_WINDOWTEXT));
      InsertAt(row.record->crBack, index, GetSysColor(COLOR_WINDOW));
    }
  }
  endInsertColumns();
  return index;
}

void ReportModel::RemoveColumn(int column) {
  if (!IsColumn(column)) return;
  beginRemoveColumns(QModelIndex(), column, column);
  EraseAt(m_columns, column);
  for (ReportRow& row : m_rows) {
    EraseAt(row.texts, column);
    EraseAt(row.images, column);
    if (row.record) {
      EraseAt(row.record->crText, column);
      EraseAt(row.record->crBack, column);
    }
  }
  endRemoveColumns();
}

void ReportModel::SetCheckboxesShown(bool shown) {
  if (m_bCheckboxes == shown) return;
  m_bCheckboxes = shown;
  if (Rows() > 0 && Columns() > 0) emit dataChanged(index(0, 0), index(Rows() - 1, 0));
}

void ReportModel::SetRowImages(std::vector<QPixmap> images) {
  m_images = std::move(images);
  if (Rows() > 0 && Columns() > 0) emit dataChanged(index(0, 0), index(Rows() - 1, Columns() - 1));
}
