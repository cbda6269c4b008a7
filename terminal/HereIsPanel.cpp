#include "terminal/HereIsPanel.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvis {

TUpDown::TUpDown(QWidget* parent, QLineEdit& associate) : QWidget(parent), associate_(associate) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto arrow = [this, layout](Qt::ArrowType type, const char* name, int direction) {
        auto* button = new QToolButton(this);
        button->setArrowType(type);
        button->setAccessibleName(QLatin1String(name));
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(18, 12);
        connect(button, &QToolButton::clicked, this, [this, direction] { Step(direction); });
        layout->addWidget(button);
        return button;
    };
    upButton = arrow(Qt::UpArrow, "Next message", 1);
    downButton = arrow(Qt::DownArrow, "Previous message", -1);
}

void TUpDown::Step(int direction) {
    // A number the operator typed is where the step starts; any other text leaves the
    // position the selector holds.
    bool ok = false;
    const int typed = associate_.text().toInt(&ok);
    if (ok && typed >= min_ && typed <= max_) {
        position_ = typed;
    }
    int next = position_ + direction;
    if (next > max_) {
        next = wrap_ ? min_ : max_;
    } else if (next < min_) {
        next = wrap_ ? max_ : min_;
    }
    position_ = next;
    associate_.setText(QString::number(position_));
    if (onClick) {
        onClick();
    }
}

THereIsPanel::THereIsPanel(QWidget* owner) : TPanelFrame(owner, QStringLiteral("HereIsPanel")) {

    Label = new QLabel(QStringLiteral("Here-IS Message:"), this);
    edHereIsNumber = new QLineEdit(QStringLiteral("1"), this);
    edHereIsNumber->setObjectName(QStringLiteral("edHereIsNumber"));
    edHereIsNumber->setAccessibleName(QStringLiteral("Here-IS Message number"));
    edHereIsNumber->setMaxLength(3);
    edHereIsNumber->setFixedWidth(48);
    Label->setBuddy(edHereIsNumber);
    HereIsSelector = new TUpDown(this, *edHereIsNumber);
    HereIsSelector->setObjectName(QStringLiteral("HereIsSelector"));
    HereIsSelector->SetRange(1, 10);
    HereIsSelector->SetPosition(1);
    HereIsSelector->SetWrap(true);
    edHereIs = new QTextEdit(this);
    edHereIs->setObjectName(QStringLiteral("edHereIs"));
    edHereIs->setAccessibleName(QStringLiteral("Here-IS Message text"));
    edHereIs->setAcceptRichText(false);
    edHereIs->setLineWrapMode(QTextEdit::NoWrap);
    Button4 = new QPushButton(QStringLiteral("&Send"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button5 = new QPushButton(QStringLiteral("&Cancel"), this);
    Button5->setObjectName(QStringLiteral("Button5"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label, 0, 0);
    auto* number = new QHBoxLayout;
    number->setSpacing(0);
    number->addWidget(edHereIsNumber);
    number->addWidget(HereIsSelector);
    number->addStretch();
    layout->addLayout(number, 0, 1);
    layout->addWidget(edHereIs, 1, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button4);
    buttons->addWidget(Button5);
    layout->addLayout(buttons, 2, 0, 1, 3);
    layout->setColumnStretch(2, 1);
    resize(420, 260);
    acceptButton_ = Button4;
    rejectButton_ = Button5;
    edHereIsNumber->installEventFilter(this);
}

bool THereIsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edHereIsNumber && event->type() == QEvent::KeyPress) {
        // The arrow keys step the selector, as its arrows do.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            HereIsSelector->Step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    if (watched == edHereIsNumber && event->type() == QEvent::KeyRelease && onNumberKeyUp) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            onNumberKeyUp(key->key(), key->text());
        }
    }
    return TPanelFrame::eventFilter(watched, event);
}

} // namespace tarvis
