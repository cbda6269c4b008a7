#include "firmware/FirmwarePanel.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvis {

TFirmwarePanel::TFirmwarePanel(QWidget* mainWindow) : QFrame(mainWindow) {
    setObjectName(QStringLiteral("pnlFWDownload"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(3);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    TitleLabel = new QLabel(QStringLiteral("Firmware Download"), this);
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    TitleLabel->setFont(bold);
    TitleLabel->setAlignment(Qt::AlignCenter);
    FileNameBox = new QLabel(this);
    FileNameBox->setObjectName(QStringLiteral("FileNameBox"));
    FileNameBox->setAlignment(Qt::AlignCenter);
    FileNameBox->setFrameShape(QFrame::StyledPanel);
    FileNameBox->setAccessibleName(QStringLiteral("Firmware file"));
    DownloadGauge = new QProgressBar(this);
    DownloadGauge->setObjectName(QStringLiteral("DownloadGauge"));
    DownloadGauge->setAccessibleName(QStringLiteral("Download progress"));
    DownloadGauge->setRange(0, 1);
    DownloadGauge->setValue(0);
    Button20 = new QPushButton(QStringLiteral("Abort"), this);
    Button20->setObjectName(QStringLiteral("Button20"));
    layout->addWidget(TitleLabel);
    layout->addWidget(FileNameBox);
    layout->addWidget(DownloadGauge);
    layout->addWidget(Button20, 0, Qt::AlignHCenter);
    connect(Button20, &QPushButton::clicked, this, &TFirmwarePanel::Button20Click);
    resize(320, 150);
    hide();
}

void TFirmwarePanel::Button20Click() {
    if (onAbort) {
        onAbort();
    }
}

void TFirmwarePanel::SetNameColour(const QColor& colour) {
    QPalette palette = FileNameBox->palette();
    palette.setColor(QPalette::WindowText, colour);
    FileNameBox->setPalette(palette);
}

void TFirmwarePanel::ShowPanel(const QString& fileName, int size) {
    if (onShow) {
        onShow();
    }
    if (const QWidget* window = parentWidget()) {
        move(window->width() / 2 - width() / 2, window->height() / 2 - height() / 2);
    }
    FileNameBox->setText(fileName);
    DownloadGauge->setRange(0, std::max(1, size));
    DownloadGauge->setValue(0);
    show();
    raise();
    repaint();
}

void TFirmwarePanel::SetProgress(int written) {
    DownloadGauge->setValue(written);
}

void TFirmwarePanel::ShowSuccess() {
    SetNameColour(Qt::red);
    FileNameBox->setText(QStringLiteral("Success!\n Reseting Modem. Please wait."));
    Button20->setEnabled(false);
    repaint();
}

void TFirmwarePanel::HidePanel() {
    Button20->setEnabled(true);
    hide();
    SetNameColour(Qt::black);
}

void TFirmwarePanel::SetBusyCursor(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor() != nullptr) {
            QApplication::restoreOverrideCursor();
        }
    }
}

} // namespace tarvis
