#pragma once

#include "core/meibo.h"

#include <QAbstractTableModel>

#include <functional>
#include <string_view>
#include <vector>

namespace meibo {

// The window's table over core::MeiboTable: one row per record shown, in the order shown,
// the cells computed when asked for. Every change keeps the persistent indexes (the
// selection, the current cell) on their records.
class TableModel : public QAbstractTableModel {
public:
    // The record's number in the register.
    static constexpr int kRecordNumberRole = Qt::UserRole;

    explicit TableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A column below 0 goes back to the order of the register.
    void sort(int column, Qt::SortOrder order) override;

    void setRecords(core::MeiboRecords records);
    void setAsOf(const platform::Date& on);
    void setFilter(const core::MeiboFilter& filter);
    void apply(const core::MeiboSettings& settings);

    const core::MeiboTable& table() const { return table_; }
    // The row showing record `number`, or -1.
    int rowOfRecord(int number) const;

private:
    void change(const std::function<void()>& apply, LayoutChangeHint hint = NoLayoutChangeHint);

    core::MeiboTable table_;
};

// Ranks for core::MeiboTable: names in the order a Japanese collator puts them.
std::vector<int> japaneseNameRanks(const std::vector<std::string_view>& names);

} // namespace meibo
