#include "meibo/table_model.h"

#include "forms/ui/layout.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace meibo {

using forms::ui::q;

TableModel::TableModel(QObject* parent) : QAbstractTableModel(parent), table_(japaneseNameRanks) {}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.shown().size());
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(core::kMeiboColumnCount);
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const std::size_t record = table_.shown()[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<core::MeiboColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return q(table_.cell(record, column));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (core::meiboNumeric(column) ? Qt::AlignRight : Qt::AlignLeft));
    case kRecordNumberRole:
        return static_cast<int>(record + 1);
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section >= columnCount())
        return {};
    return q(core::meiboHeading(static_cast<core::MeiboColumn>(section)));
}

void TableModel::sort(int column, Qt::SortOrder order) {
    change(
        [&] {
            if (column < 0 || column >= columnCount())
                table_.apply({table_.asOf(), table_.filter(), {}});
            else
                table_.sortBy(
                    {static_cast<core::MeiboColumn>(column), order == Qt::DescendingOrder});
        },
        VerticalSortHint);
}

void TableModel::setRecords(core::MeiboRecords records) {
    change([&] { table_.setRecords(std::move(records)); });
}

void TableModel::setAsOf(const platform::Date& on) {
    change([&] { table_.setAsOf(on); });
}

void TableModel::setFilter(const core::MeiboFilter& filter) {
    change([&] { table_.setFilter(filter); });
}

void TableModel::apply(const core::MeiboSettings& settings) {
    change([&] { table_.apply(settings); });
}

int TableModel::rowOfRecord(int number) const {
    const auto& shown = table_.shown();
    auto it = std::find(shown.begin(), shown.end(), static_cast<std::size_t>(number - 1));
    return it == shown.end() ? -1 : static_cast<int>(it - shown.begin());
}

void TableModel::change(const std::function<void()>& apply, LayoutChangeHint hint) {
    emit layoutAboutToBeChanged({}, hint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::size_t> records;
    records.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& i : before)
        records.push_back(table_.shown()[static_cast<std::size_t>(i.row())]);
    apply();
    std::vector<int> rowOf(table_.total(), -1);
    for (std::size_t row = 0; row < table_.shown().size(); ++row)
        rowOf[table_.shown()[row]] = static_cast<int>(row);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const std::size_t record = records[static_cast<std::size_t>(i)];
        const int row = record < rowOf.size() ? rowOf[record] : -1;
        after.push_back(row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, hint);
}

std::vector<int> japaneseNameRanks(const std::vector<std::string_view>& names) {
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (std::string_view name : names)
        keys.push_back(collator.sortKey(q(name)));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<int> ranks(names.size());
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[order[i]].compare(keys[order[i - 1]]) != 0)
            rank = static_cast<int>(i);
        ranks[order[i]] = rank;
    }
    return ranks;
}

} // namespace meibo
