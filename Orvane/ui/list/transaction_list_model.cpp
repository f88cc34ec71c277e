#include "Orvane/ui/list/transaction_list_model.h"

#include <QBrush>
#include <QColor>
#include <QCoreApplication>

#include <cstring>

#include "Orvane/ui/list/list_rows.h"
#include "Orvane/ui/list/row_colours.h"

namespace orvane {

namespace {

constexpr char kContext[] = "TransactionListModel";

// Every header the column sets use, so the translation tools see them; the
// headers themselves come from the column sets.
constexpr const char* kHeaderTexts[] = {
    QT_TRANSLATE_NOOP("TransactionListModel", "Number"),
    QT_TRANSLATE_NOOP("TransactionListModel", "Time(s:ms:us)"),
    QT_TRANSLATE_NOOP("TransactionListModel", "Time(s:ms:μs)"),
    QT_TRANSLATE_NOOP("TransactionListModel", "time span(us)"),
    QT_TRANSLATE_NOOP("TransactionListModel", "Adrs"),
    QT_TRANSLATE_NOOP("TransactionListModel", "R/W"),
    QT_TRANSLATE_NOOP("TransactionListModel", "S/R/P"),
    QT_TRANSLATE_NOOP("TransactionListModel", "NACK"),
    QT_TRANSLATE_NOOP("TransactionListModel", "Error, Info"),
    QT_TRANSLATE_NOOP("TransactionListModel", "DataLen"),
    QT_TRANSLATE_NOOP("TransactionListModel", "MISO Data  (Hex)"),
    QT_TRANSLATE_NOOP("TransactionListModel", "MOSI Data  (Hex)"),
    QT_TRANSLATE_NOOP("TransactionListModel", "Data  (Hex)"),
};

QString Translated(const char* header) {
  for (const char* known : kHeaderTexts) {
    if (std::strcmp(known, header) == 0) return QCoreApplication::translate(kContext, known);
  }
  return QString::fromUtf8(header);
}

// Alignments travel as plain ints, the form every delegate and header reads.
Qt::Alignment AlignmentOf(CellAlign align) {
  switch (align) {
    case CellAlign::kLeft: return Qt::AlignLeft | Qt::AlignVCenter;
    case CellAlign::kCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    case CellAlign::kRight: break;
  }
  return Qt::AlignRight | Qt::AlignVCenter;
}

QColor ToColor(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

}  // namespace

TransactionListModel::TransactionListModel(COrvaneDoc& doc, AppState& app, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc), app_(app) {
  TakeColumns();
}

int TransactionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(window_rows_);
}

int TransactionListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TransactionListModel::data(const QModelIndex& index, int role) const {
  QModelRoleData one(role);
  multiData(index, one);
  return one.data();
}

void TransactionListModel::multiData(const QModelIndex& index, QModelRoleDataSpan roles) const {
  for (QModelRoleData& role : roles) role.clearData();
  if (!index.isValid() || index.column() >= static_cast<int>(columns_.size())) return;
  const ListColumn& column = columns_[static_cast<size_t>(index.column())];
  // The delegate asks for every role of a cell at once: the record is
  // copied once per cell, not once per role.
  bool needs_record = false;
  for (const QModelRoleData& role : roles) {
    needs_record |= role.role() == Qt::DisplayRole || role.role() == Qt::ForegroundRole ||
                    role.role() == Qt::BackgroundRole;
  }
  TransactionInfo record{};
  const uint32_t row = window_.offset + static_cast<uint32_t>(index.row());
  const bool found = needs_record && RecordAt(row, &record);
  const RowColours colours = ListRowColours(row, found && (record.RecordFlags & kRecordTrigger) != 0);
  for (QModelRoleData& role : roles) {
    switch (role.role()) {
      case Qt::DisplayRole:
        role.setData(found ? QString::fromStdString(CellText(record, column.id, mode_)) : QString());
        break;
      case Qt::TextAlignmentRole:
        // The first column is always drawn right-aligned.
        role.setData(static_cast<int>(index.column() == 0 ? AlignmentOf(CellAlign::kRight)
                                                          : AlignmentOf(column.align)));
        break;
      case Qt::ForegroundRole:
        role.setData(QBrush(ToColor(colours.text)));
        break;
      case Qt::BackgroundRole:
        if (!colours.window_background) role.setData(QBrush(ToColor(colours.background)));
        break;
      default:
        break;
    }
  }
}

QVariant TransactionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns_.size())) {
    return {};
  }
  if (role == Qt::DisplayRole) return HeaderText(section);
  if (role == Qt::TextAlignmentRole) {
    return static_cast<int>(AlignmentOf(columns_[static_cast<size_t>(section)].align));
  }
  return {};
}

QString TransactionListModel::HeaderText(int section) const {
  return headers_[static_cast<size_t>(section)];
}

void TransactionListModel::TakeColumns() {
  columns_ = ListColumns(app_.settings);
  mode_ = TextModeOf(app_.settings);
  headers_.clear();
  for (const ListColumn& column : columns_) headers_.push_back(Translated(column.header));
}

void TransactionListModel::Rebuild() {
  beginResetModel();
  snapshot_.Release();
  window_ = ListWindow{};
  window_rows_ = 0;
  TakeColumns();
  endResetModel();
}

void TransactionListModel::ShowWindow(const ListWindow& window) {
  const ListWindow old = window_;
  const uint32_t rows = ListWindowRows(window);
  if (rows > window_rows_) {
    beginInsertRows(QModelIndex(), static_cast<int>(window_rows_), static_cast<int>(rows - 1));
    window_ = window;
    window_rows_ = rows;
    endInsertRows();
  } else if (rows < window_rows_) {
    beginRemoveRows(QModelIndex(), static_cast<int>(rows), static_cast<int>(window_rows_ - 1));
    window_ = window;
    window_rows_ = rows;
    endRemoveRows();
  }
  window_ = window;
  // A new offset moves every row; a new count may have refilled the index.
  if (old.offset != window.offset || old.count != window.count) AllRowsChanged();
}

bool TransactionListModel::TakeSnapshot() {
  CSamplingObj* sampling = doc_.Sampling();
  if (sampling == nullptr || !snapshot_.Take(*sampling)) return false;
  AllRowsChanged();
  return true;
}

void TransactionListModel::LeaveSnapshot() {
  if (!snapshot_.Active()) return;
  snapshot_.Leave();
  AllRowsChanged();
}

void TransactionListModel::AllRowsChanged() {
  // One signal for every row: the view repaints only what it shows.
  if (window_rows_ == 0 || columns_.empty()) return;
  emit dataChanged(index(0, 0), index(static_cast<int>(window_rows_ - 1), columnCount() - 1));
}

bool TransactionListModel::RecordAt(uint32_t row, TransactionInfo* out, RecordRef* ref) const {
  return ListRecordAt(doc_.Sampling(), snapshot_, window_.count, row, out, ref);
}

}  // namespace orvane
