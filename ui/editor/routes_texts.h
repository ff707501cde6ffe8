#pragma once
// The texts and cells of the dialog "Пути эвакуации": captions, tips, the kind's and the
// projection's combo boxes, the computed cells and the figures' texts.

#include <QString>
#include <QStringList>
#include <functional>

#include "model/people_flow.h"

class QComboBox;
class QTableWidgetItem;
class QWidget;

QString RoutesIntroText();
QStringList RouteHeaders();
QStringList SegmentHeaders();
QString RouteHeaderTip(int column);
QString SegmentHeaderTip(int column);

// A value as a cell shows it for editing: the shortest digits that read back to it, the
// locale's decimal separator.
QString EditText(double value);
// A computed figure: `decimals` digits after the separator.
QString FigureText(double value, int decimals);

// The kind of a segment; `changed` is called on every choice.
QComboBox* KindBox(zf::flow::SegmentKind kind, QWidget* parent, std::function<void()> changed);
// f of a route: an editable box offering 0,1 (adults, summer), 0,125 (winter), 0,07 (teenagers).
QComboBox* ProjectionBox(double projection, QWidget* parent, std::function<void()> changed);
// A read-only cell of a computed figure.
QTableWidgetItem* ComputedItem();
