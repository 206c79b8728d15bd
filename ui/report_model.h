// The rows of the report list: per row its cell texts (ANSI), cell images,
// check state and the row record with the caller's value and the colours of
// every cell. Every row's colour arrays hold exactly one entry per column.
#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <memory>
#include <vector>

#include "platform/win_types.h"
#include "ui/report_columns.h"

struct ReportRowInfo {
  DWORD dwData = 0;
  std::vector<COLORREF> crText;  // one per column
  std::vector<COLORREF> crBack;  // one per column
};

struct ReportRow {
  std::vector<CString> texts;  // one per column
  std::vector<int> images;     // one per column, -1 for none
  bool checked = false;
  std::shared_ptr<ReportRowInfo> record;  // null for a row without a record
  QString shown;  // what column 0 shows in place of its text; empty: the text
};

class ReportModel : public QAbstractTableModel {
 public:
  explicit ReportModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  bool IsRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
  bool IsColumn(int column) const { return column >= 0 && column < static_cast<int>(m_columns.size()); }
  int Rows() const { return static_cast<int>(m_rows.size()); }
  int Columns() const { return static_cast<int>(m_columns.size()); }

  // Rows: index is clamped to 0..count; returns the new row's index.
  int InsertRow(int index, const CString& text, int image, DWORD data);
  void RemoveRow(int row);
  void RemoveAllRows();
  const ReportRow& Row(int row) const { return m_rows[static_cast<size_t>(row)]; }
  ReportRowInfo* Record(int row) const;
  void SetRow(int row, ReportRow content);  // writes a whole row (sorting)

  void SetText(int row, int column, const CString& text);  // column 0 drops its shown text
  void SetShown(int row, const QString& text);
  CString Text(int row, int column) const;
  void SetImage(int row, int column, int image);
  void SetChecked(int row, bool checked);
  void SetTextColor(int row, int column, COLORREF colour);
  void SetBackColor(int row, int column, COLORREF colour);

  // Columns: index clamped to 0..count; a default entry is put into every row.
  int InsertColumn(int index, const ReportColumn& column);
  void RemoveColumn(int column);
  const ReportColumn& Column(int column) const { return m_columns[static_cast<size_t>(column)]; }

  void SetCheckboxesShown(bool shown);
  void SetRowImages(std::vector<QPixmap> images);
  bool HasRowImages() const { return !m_images.empty(); }

 private:
  void CellChanged(int row, int column);

  std::vector<ReportColumn> m_columns;
  std::vector<ReportRow> m_rows;
  std::vector<QPixmap> m_images;
  bool m_bCheckboxes = false;
};
