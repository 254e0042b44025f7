#pragma once
// The small pop-up word list of an editor document. It hides when it loses
// the focus and keeps itself inside what is visible of it when shown.

#include <QListWidget>

class ContextListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit ContextListWidget(QWidget* parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
