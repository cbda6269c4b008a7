#include "tuning/About.h"
#include "link/ModemIdentity.h"
#include "platform/Dialogs.h"
#include "shell/Version.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tarvis {

namespace {

// Where the operator reaches the maker's support.
constexpr char kSupportTelephoneText[] =
    "Vantor Communications Corp. technical support\nTelephone +1 (555) 010-0470";
constexpr char kSupportWebText[] = "On the web: https://vantor.example.com/support";

constexpr int kIconSize = 64;

QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    // The operator may copy a version into a mail to the support.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(120);
    return label;
}

} // namespace

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // A dark blue tile.
    QLinearGradient sky(0, 0, 0, 64);
    sky.setColorAt(0, QColor(30, 70, 150));
    sky.setColorAt(1, QColor(10, 25, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 10, 10);

    // The mast: a lattice tower standing on the bottom edge.
    QPen steel(QColor(235, 235, 240), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(steel);
    p.setBrush(Qt::NoBrush);
    const QPointF top(32, 22);
    const QPointF left(22, 58);
    const QPointF right(42, 58);
    p.drawLine(top, left);
    p.drawLine(top, right);
    steel.setWidthF(1.4);
    p.setPen(steel);
    p.drawLine(QPointF(28.7, 34), QPointF(35.3, 34));
    p.drawLine(QPointF(25.3, 46), QPointF(38.7, 46));
    p.drawLine(QPointF(28.7, 34), QPointF(38.7, 46));
    p.drawLine(QPointF(35.3, 34), QPointF(25.3, 46));
    p.drawLine(QPointF(25.3, 46), QPointF(42, 58));
    p.drawLine(QPointF(38.7, 46), QPointF(22, 58));

    // Waves going out from the tip on both sides.
    QPen wave(QColor(255, 190, 40), 2.6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(wave);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = 6.0 * i;
        const QRectF arc(top.x() - r, top.y() - r, 2 * r, 2 * r);
        p.drawArc(arc, -40 * 16, 80 * 16);
        p.drawArc(arc, 140 * 16, 80 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 80, 60));
    p.drawEllipse(top, 3, 3);
    return pixmap;
}

TAboutBox::TAboutBox(QWidget* parent, Dialogs& dialogs)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Sunken);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(ProgramIconPixmap(kIconSize));
    ProgramIcon->setFixedSize(kIconSize, kIconSize);
    ProgramIcon->setAccessibleName(QStringLiteral("Tarvis program icon"));

    ProductName = new QLabel(Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont nameFont = ProductName->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    ProductName->setFont(nameFont);

    Label2 = new QLabel(QStringLiteral("Version "), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Version = ValueLabel(Panel1, "Version");
    Version->setMinimumWidth(0);

    Copyright = new QLabel(QLatin1String(kSupportTelephoneText), Panel1);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Copyright->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1 = new QLabel(QLatin1String(kSupportWebText), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* versionRow = new QHBoxLayout;
    versionRow->setSpacing(0);
    versionRow->addWidget(Label2);
    versionRow->addWidget(Version);
    versionRow->addStretch();

    auto* panelLayout = new QGridLayout(Panel1);
    panelLayout->setHorizontalSpacing(14);
    panelLayout->addWidget(ProgramIcon, 0, 0, 2, 1, Qt::AlignTop);
    panelLayout->addWidget(ProductName, 0, 1);
    panelLayout->addLayout(versionRow, 1, 1);
    panelLayout->addWidget(Copyright, 2, 0, 1, 2);
    panelLayout->addWidget(Label1, 3, 0, 1, 2);
    panelLayout->setRowMinimumHeight(2, 0);
    panelLayout->setVerticalSpacing(8);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    textLODVer = ValueLabel(GroupBox1, "textLODVer");
    textS28Ver = ValueLabel(GroupBox1, "textS28Ver");
    textEPROM = ValueLabel(GroupBox1, "textEPROM");
    textProdID = ValueLabel(GroupBox1, "textProdID");
    textHardwareVer = ValueLabel(GroupBox1, "textHardwareVer");
    auto* versions = new QGridLayout(GroupBox1);
    const std::pair<const char*, QLabel*> rows[] = {
        {"DSP (LOD)", textLODVer},  {"CPU (S28)", textS28Ver},          {"Boot ROM", textEPROM},
        {"Product ID", textProdID}, {"Hardware Ver.", textHardwareVer},
    };
    int row = 0;
    for (const auto& [caption, value] : rows) {
        auto* label = new QLabel(QLatin1String(caption), GroupBox1);
        label->setBuddy(value);
        versions->addWidget(label, row, 0);
        versions->addWidget(value, row, 1);
        ++row;
    }
    versions->setColumnStretch(1, 1);
    versions->setHorizontalSpacing(20);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(OKButton);
    buttonRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::About1Click(const ModemIdentity& identity) {
    ProductName->setText(QStringLiteral("Vantor Tarvis"));
    GroupBox1->setTitle(QStringLiteral("QD470 versions"));
    Version->setText(QLatin1String(kVersionText));
    textLODVer->setText(identity.dspVersion);
    textS28Ver->setText(identity.cpuVersion);
    textEPROM->setText(identity.bootVersion);
    textProdID->setText(identity.productId);
    textHardwareVer->setText(identity.hardwareVersion);
    dialogs_.ExecModal(*this);
}

void TAboutBox::OKButtonClick() {
    accept();
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The layout has given the box its final size by now.
    CentreOnScreen();
}

void TAboutBox::CentreOnScreen() {
    QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

} // namespace tarvis
