#pragma once

// A spin button standing beside a text box: two small arrows that step a
// value within a range. The text box keeps its own character filter, so the
// button holds only the value and reports each step.

#include <QWidget>

class QToolButton;

namespace sorobe {

class UpDownButton : public QWidget {
    Q_OBJECT

public:
    explicit UpDownButton(QWidget* parent = nullptr);

    int value() const { return m_value; }
    // Clamps to the range; emits nothing (only the arrows report).
    void setValue(int value);
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

signals:
    // The value changed by one click of an arrow.
    void Change();

private:
    void step(int delta);

    QToolButton* m_up;
    QToolButton* m_down;
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 100;
};

} // namespace sorobe
