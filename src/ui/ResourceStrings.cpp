#include "ResourceStrings.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QWidget>

namespace sorobe {

namespace {

const QHash<int, QString>& resourceTable() {
    static const QHash<int, QString> table{
        {1000, QStringLiteral("ﾌｧｲﾙ(&F)")},
        {1001, QStringLiteral("開く(&O)...")},
        {1002, QStringLiteral("閉じる(&C)")},
        {1003, QStringLiteral("上書き保存(&S)")},
        {1004, QStringLiteral("名前を付けて保存(&A)...")},
        {1005, QStringLiteral("ﾍﾟｰｼﾞ設定(&U)...")},
        {1006, QStringLiteral("終了(&X)")},
        {1007, QStringLiteral("ﾍﾙﾌﾟ(&H)")},
        {1008, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)")},
        {1009, QStringLiteral("開く")},
        {1010, QStringLiteral("上書き保存")},
        {1011, QStringLiteral("印刷")},
    };
    return table;
}

// The resource named by a caption, a hint or a tag, when it is a number that
// names one; only numbers above 0 name resources.
std::optional<QString> resourceFor(const QVariant& reference) {
    bool isNumber = false;
    const int number = reference.toString().trimmed().toInt(&isNumber);
    if (!isNumber || number <= 0)
        return std::nullopt;
    return resourceString(number);
}

void replaceMenuCaptions(QMenu* menu) {
    if (auto caption = resourceFor(menu->title()))
        menu->setTitle(*caption);
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            replaceMenuCaptions(sub);
        } else if (!action->isSeparator()) {
            if (auto caption = resourceFor(action->text()))
                action->setText(*caption);
        }
    }
}

} // namespace

std::optional<QString> resourceString(int number) {
    const auto& table = resourceTable();
    const auto found = table.constFind(number);
    if (found == table.constEnd())
        return std::nullopt;
    return *found;
}

void loadResourceCaptions(QWidget* form) {
    if (!form)
        return;
    if (auto caption = resourceFor(form->property("Tag")))
        form->setWindowTitle(*caption);

    // The form's font is taken from resources 20 and 21 where they exist.
    const auto fontName = resourceString(20);
    const auto fontSize = resourceString(21);
    if (fontName && fontSize) {
        QFont font = form->font();
        font.setFamily(*fontName);
        font.setPointSize(fontSize->toInt());
        form->setFont(font);
    }

    for (QMenuBar* bar : form->findChildren<QMenuBar*>()) {
        for (QAction* action : bar->actions()) {
            if (QMenu* menu = action->menu())
                replaceMenuCaptions(menu);
        }
    }

    for (QWidget* control : form->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(control)) {
            if (auto caption = resourceFor(label->property("Tag")))
                label->setText(*caption);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(control)) {
            for (int i = 0; i < tabs->count(); ++i) {
                QWidget* page = tabs->widget(i);
                if (auto caption = resourceFor(page->property("Tag")))
                    tabs->setTabText(i, *caption);
                if (auto hint = resourceFor(tabs->tabToolTip(i)))
                    tabs->setTabToolTip(i, *hint);
            }
        } else if (auto* toolbar = qobject_cast<QToolBar*>(control)) {
            for (QAction* button : toolbar->actions()) {
                if (auto hint = resourceFor(button->toolTip()))
                    button->setToolTip(*hint);
            }
        } else if (!qobject_cast<QMenu*>(control) && !qobject_cast<QMenuBar*>(control)) {
            if (auto caption = resourceFor(control->property("Tag"))) {
                if (auto* button = qobject_cast<QAbstractButton*>(control))
                    button->setText(*caption);
                else if (auto* frame = qobject_cast<QGroupBox*>(control))
                    frame->setTitle(*caption);
            }
            if (auto hint = resourceFor(control->toolTip()))
                control->setToolTip(*hint);
        }
    }
}

} // namespace sorobe
