#pragma once

#include "store/TableReplica.h"

#include <memory>

// The position table's replica, counting the reads the views ask of it.
class CountingReplica : public TableReplica {
    Q_OBJECT
public:
    explicit CountingReplica(std::unique_ptr<TableReplica> inner)
        : TableReplica(inner->tableName())
        , inner_(std::move(inner)) {
        connect(inner_.get(), &TableReplica::rowsAboutToChange, this,
                &TableReplica::rowsAboutToChange);
    }
    int reads = 0;

    bool isOpen() const override { return inner_->isOpen(); }
    Change refresh() override {
        ++reads;
        return inner_->refresh();
    }
    void close() override { inner_->close(); }
    const ColumnStore& rows() const override { return inner_->rows(); }
    EqualityIndex& index() override { return inner_->index(); }
    const RadioTimeIndex& timeIndex() override { return inner_->timeIndex(); }
    bool isLoading() const override { return inner_->isLoading(); }
    bool isLoadingHeld() const override { return inner_->isLoadingHeld(); }
    bool hasLoad() const override { return inner_->hasLoad(); }
    Change adoptLoad() override { return inner_->adoptLoad(); }
    void cancelLoading() override { inner_->cancelLoading(); }
    void resumeLoading() override { inner_->resumeLoading(); }
    void waitForBackgroundWork() override { inner_->waitForBackgroundWork(); }
    CheckStats checkStats() const override { return inner_->checkStats(); }

private:
    std::unique_ptr<TableReplica> inner_;
};
