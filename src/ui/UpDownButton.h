#pragma once

// A spin button standing beside a text box: two small arrows, each click a
// step of one. The text box keeps its own character filter and its number;
// the button only reports the direction of each click.

#include <QWidget>

class QToolButton;

namespace sorobe {

class UpDownButton : public QWidget {
    Q_OBJECT

public:
    explicit UpDownButton(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // The value one step from `current`, kept within the range.
    int stepFrom(int current, int delta) const;

signals:
    // +1 for the upper arrow, -1 for the lower one.
    void stepped(int delta);

private:
    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 0;
    int m_maximum = 100;
};

} // namespace sorobe
