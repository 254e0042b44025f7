#pragma once
// The tabbed document area in the middle of the main window.

#include <QMdiArea>

class MdiArea : public QMdiArea
{
    Q_OBJECT
public:
    explicit MdiArea(QWidget* parent = nullptr);
};
