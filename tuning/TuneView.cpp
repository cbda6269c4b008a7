#include "tuning/TuneView.h"

#include <QPainter>
#include <QPixmap>
#include <cmath>

namespace tarvis {

namespace {

// The markers' lines run from y = 9 to y = 12; labels stand at the top.
constexpr int kLineTop = 9;
constexpr int kLineBottom = 12;

TuneMarker Marker(const QString& label, int frequency, int labelOffset) {
    const int x = TuneStripX(frequency);
    return {label, frequency, x, x - labelOffset};
}

const char* ToneModeName(int index) {
    switch (index) {
    case kTuneBaudot:
        return " - Baudot";
    case kTuneAscii:
        return "- ASCII";
    case kTunePMode:
        return "- PMode";
    default:
        return "- TOR";
    }
}

} // namespace

int TuneStripX(double frequency) {
    return static_cast<int>(std::trunc((frequency - 300.78125) * 0.128));
}

TTuneView::TTuneView(QWidget* parent, QWidget* captionWindow)
    : QWidget(parent), captionWindow_(captionWindow) {
    setAutoFillBackground(false);
    setAccessibleName(QStringLiteral("Tuning strip"));
    if (parent != nullptr) {
        setGeometry(parent->rect());
    }
}

void TTuneView::SetDisplayIndex(int index) {
    displayIndex_ = index;
    Changed();
}

void TTuneView::SetMark(int hertz) {
    mark_ = hertz;
    Changed();
}

void TTuneView::SetSpace(int hertz) {
    space_ = hertz;
    Changed();
}

void TTuneView::SetCenter(int hertz) {
    center_ = hertz;
    Changed();
}

void TTuneView::Changed() {
    const QString caption = Caption();
    if (captionWindow_ != nullptr && !caption.isEmpty()) {
        captionWindow_->setWindowTitle(caption);
    }
    update();
}

QString TTuneView::Caption() const {
    const QString base = QStringLiteral("Sound Card Tune ");
    if (displayIndex_ >= kTuneBaudot && displayIndex_ <= kTuneAmtor) {
        return base + QLatin1String(ToneModeName(displayIndex_)) + QStringLiteral(" (M: ") +
               QString::number(mark_) + QStringLiteral("  S: ") + QString::number(space_) +
               QStringLiteral(" )");
    }
    if (displayIndex_ == kTunePsk31) {
        return base + QStringLiteral("- PSK31 (Center: ") + QString::number(center_) +
               QStringLiteral(" )");
    }
    if (displayIndex_ == kTuneMirvol2000) {
        return base + QStringLiteral("- MIRVOL 2000");
    }
    if (displayIndex_ >= kTuneMirvolChannel1 && displayIndex_ <= kTuneMirvolChannel1 + 3) {
        return base + QStringLiteral("- MIRVOL-II (AF") +
               QString::number(displayIndex_ - kTuneMirvolChannel1 + 1) + QStringLiteral(")");
    }
    // Before any mode has set it the window keeps the caption it was made with.
    return QString();
}

std::vector<TuneMarker> TTuneView::Markers() const {
    std::vector<TuneMarker> markers;
    if (displayIndex_ >= kTuneBaudot && displayIndex_ <= kTuneAmtor) {
        markers.push_back(Marker(QStringLiteral("M"), mark_, 3));
        markers.push_back(Marker(QStringLiteral("S"), space_, 2));
    } else if (displayIndex_ == kTunePsk31) {
        markers.push_back(Marker(QStringLiteral("C"), center_, 3));
    } else if (displayIndex_ == kTuneMirvol2000) {
        for (int k = 0; k < 8; ++k) {
            markers.push_back(Marker(QStringLiteral("T%1").arg(k + 1), 625 + 250 * k, 4));
        }
    } else if (displayIndex_ >= kTuneMirvolChannel1 && displayIndex_ <= kTuneMirvolChannel1 + 3) {
        const int first = 562 + 500 * (displayIndex_ - kTuneMirvolChannel1);
        for (int k = 0; k < 4; ++k) {
            markers.push_back(Marker(QStringLiteral("T%1").arg(k + 1), first + 125 * k, 4));
        }
    }
    return markers;
}

void TTuneView::paintEvent(QPaintEvent*) {
    // Drawn whole on a bitmap first, then copied, so the strip never shows half a picture.
    QPixmap bitmap(size());
    bitmap.fill(Qt::black);
    {
        QPainter painter(&bitmap);
        QFont font(QStringLiteral("Tahoma"));
        font.setPointSize(7);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        for (const TuneMarker& m : Markers()) {
            painter.fillRect(m.x, kLineTop, 2, kLineBottom - kLineTop + 1, Qt::green);
            painter.setPen(Qt::yellow);
            painter.drawText(m.labelLeft, metrics.ascent(), m.label);
        }
    }
    QPainter(this).drawPixmap(0, 0, bitmap);
}

} // namespace tarvis
