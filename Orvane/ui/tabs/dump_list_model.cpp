#include "Orvane/ui/tabs/dump_list_model.h"

#include <QColor>
#include <QCoreApplication>
#include <QPoint>

#include <cstring>

#include "Orvane/ui/tabs/dump_colours.h"

namespace orvane::ui {
namespace {

constexpr char kContext[] = "ViewDumpList";

// Every caption the lists use, so the translation tools see them.
constexpr const char* kCaptionTexts[] = {
    QT_TRANSLATE_NOOP("ViewDumpList", "ADRS [MISO] "),
    QT_TRANSLATE_NOOP("ViewDumpList", "ADRS [MOSI] "),
    QT_TRANSLATE_NOOP("ViewDumpList", "ADRS        "),
    QT_TRANSLATE_NOOP("ViewDumpList", "+0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F    "),
    QT_TRANSLATE_NOOP("ViewDumpList", "ASCII  character    "),
};

QColor ToColor(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

}  // namespace

DumpListModel::DumpListModel(DumpKind kind, DetailSource detail, QObject* parent)
    : QAbstractTableModel(parent), kind_(kind), detail_(std::move(detail)) {}

QString DumpListModel::CaptionText(DumpKind kind, int column) {
  const char* caption = DumpCaptionOf(kind, column).text;
  for (const char* known : kCaptionTexts) {
    if (std::strcmp(known, caption) == 0) return QCoreApplication::translate(kContext, known);
  }
  return QString::fromLatin1(caption);
}

int DumpListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_);
}

int DumpListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kDumpColumns; }

const TransactionDetail* DumpListModel::ShownDetail() const {
  const TransactionDetail* detail = detail_ ? detail_() : nullptr;
  if (detail == nullptr || !shown_index_ || detail->index != *shown_index_) return nullptr;
  return detail;
}

QVariant DumpListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= kDumpColumns) return {};
  const uint32_t row = static_cast<uint32_t>(index.row());
  switch (role) {
    case Qt::BackgroundRole:
      return DumpRowOnWindowColour(row) ? QVariant() : QVariant(ToColor(kDumpOddRowBackground));
    case Qt::ForegroundRole: return ToColor(index.column() == 2 ? kDumpAsciiText : kDumpText);
    case Qt::TextAlignmentRole: return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::DisplayRole:
    case kHighlightRole: break;
    default: return {};
  }
  const TransactionDetail* detail = ShownDetail();
  DumpRowPlace place;
  if (detail == nullptr || !DumpRowPlaceOf(kind_, row, detail->count, &place)) return {};
  const std::vector<uint8_t>& bytes = place.second ? detail->bytes2 : detail->bytes;
  // The arrays may be shorter than the count says; such a row stays blank.
  if (uint64_t(place.offset) + place.length > bytes.size()) return {};
  if (role == kHighlightRole) {
    if (index.column() != 1 || !highlight_) return {};
    const std::optional<CharSpan> span = HighlightedDigits(*highlight_, place);
    if (!span) return {};
    return QPoint(static_cast<int>(span->first), static_cast<int>(span->end));
  }
  const uint8_t* first = bytes.data() + place.offset;
  switch (index.column()) {
    case 0: return QString::fromLatin1(DumpOffsetText(kind_, row, place.offset));
    case 1: return QString::fromLatin1(DumpHexText(first, place.length));
    default: return QString::fromLatin1(DumpAsciiText(first, place.length));
  }
}

QVariant DumpListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kDumpColumns) return {};
  if (role == Qt::DisplayRole) return CaptionText(kind_, section);
  if (role == Qt::TextAlignmentRole) return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

void DumpListModel::Show(const TransactionInfo& record) {
  beginResetModel();
  shown_index_ = static_cast<int32_t>(record.Index);
  highlight_.reset();
  const TransactionDetail* detail = ShownDetail();
  rows_ = detail != nullptr ? DumpRowCount(kind_, detail->count) : 0;
  endResetModel();
}

void DumpListModel::SetHighlight(const DumpHighlight& highlight) {
  highlight_ = highlight;
  // The digits column of every row may change; the view repaints only what
  // it shows.
  if (rows_ != 0) emit dataChanged(index(0, 1), index(static_cast<int>(rows_) - 1, 1), {kHighlightRole});
}

}  // namespace orvane::ui
