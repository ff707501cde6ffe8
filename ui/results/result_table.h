#pragma once
// The results window's table: one row per sample, the time and the value, with the two titles
// in the header row; formatted only when a row is painted, so a table of thousands of rows
// costs nothing up front.
#include <QAbstractTableModel>
#include <QList>
#include <QPointF>
#include <QString>

class QFontMetrics;
class QTableView;

class TResultGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Reset(QList<QPointF> rows, const QString& valueTitle) {
        beginResetModel();
        Rows_ = std::move(rows);
        ValueTitle_ = valueTitle;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The width of the longest text of one column; every row is measured.
    int WidestText(int column, const QFontMetrics& metrics) const;
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    QList<QPointF> Rows_;
    QString ValueTitle_;
};

// The grid's rows at a fixed height, its columns sized by FitResultColumns.
void SetUpResultGrid(QTableView* grid, TResultGridModel* model);
// 64 and 104 pixels, or wider where a column's title or a number shown needs it.
// Called after every fill: a model reset gives the columns their default widths back.
void FitResultColumns(QTableView* grid, const TResultGridModel& model);
