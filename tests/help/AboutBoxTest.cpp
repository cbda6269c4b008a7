#include "link/ModemIdentity.h"
#include "tests/support/ScriptedDialogs.h"
#include "tuning/About.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace tarvis {
namespace {

using test::ScriptedDialogs;

// What the box showed at the moment it went up.
struct Shown {
    QString caption, product, version, group;
    QStringList values;
};

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialogs.onModal = [this](QDialog&) {
            shown.push_back({box.windowTitle(),
                             box.ProductName->text(),
                             box.Version->text(),
                             box.GroupBox1->title(),
                             {box.textLODVer->text(), box.textS28Ver->text(), box.textEPROM->text(),
                              box.textProdID->text(), box.textHardwareVer->text()}});
            return QDialog::Accepted;
        };
    }

    ScriptedDialogs dialogs;
    QMainWindow mainWindow;
    TAboutBox box{&mainWindow, dialogs};
    std::vector<Shown> shown;
};

TEST_F(AboutBoxTest, ShowsProgramAndModemVersionsEachTimeItOpens) {
    ModemIdentity identity;
    identity.dspVersion = QStringLiteral("5.3");
    identity.cpuVersion = QStringLiteral("12.10");
    identity.bootVersion = QStringLiteral("1.2");
    identity.productId = QStringLiteral("002F");
    identity.hardwareVersion = QStringLiteral("800A");
    box.About1Click(identity);

    identity.dspVersion = QStringLiteral("5.4");
    identity.hardwareVersion = QStringLiteral("8004");
    box.About1Click(identity);

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(dialogs.modalDialogs, (std::vector<QString>{"About", "About"}));
    for (const Shown& s : shown) {
        EXPECT_EQ(s.caption, QStringLiteral("About"));
        EXPECT_EQ(s.product, QStringLiteral("Vantor Tarvis"));
        EXPECT_EQ(s.version, QStringLiteral("3.0.5"));
        EXPECT_EQ(s.group, QStringLiteral("QD470 versions"));
    }
    EXPECT_EQ(shown[0].values, (QStringList{"5.3", "12.10", "1.2", "002F", "800A"}));
    EXPECT_EQ(shown[1].values, (QStringList{"5.4", "12.10", "1.2", "002F", "8004"}));
}

TEST_F(AboutBoxTest, BeforeTheModemAnsweredTheModemFieldsAreEmpty) {
    ModemIdentity identity;
    identity.dspVersion = QStringLiteral("5.3");
    box.About1Click(identity);
    box.About1Click(ModemIdentity{});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].values, (QStringList{"", "", "", "", ""}));
    EXPECT_EQ(shown[1].product, QStringLiteral("Vantor Tarvis"));
    EXPECT_EQ(shown[1].version, QStringLiteral("3.0.5"));
}

TEST_F(AboutBoxTest, EachModemVersionSitsBesideItsCaption) {
    const std::pair<QString, QLabel*> expected[] = {
        {"DSP (LOD)", box.textLODVer},
        {"CPU (S28)", box.textS28Ver},
        {"Boot ROM", box.textEPROM},
        {"Product ID", box.textProdID},
        {"Hardware Ver.", box.textHardwareVer},
    };
    QStringList captions;
    for (const QLabel* label : box.GroupBox1->findChildren<QLabel*>()) {
        if (label->buddy() == nullptr) {
            continue;
        }
        captions << label->text();
        for (const auto& [caption, value] : expected) {
            if (caption == label->text()) {
                EXPECT_EQ(label->buddy(), value) << caption.toStdString();
            }
        }
    }
    EXPECT_EQ(captions,
              (QStringList{"DSP (LOD)", "CPU (S28)", "Boot ROM", "Product ID", "Hardware Ver."}));
    EXPECT_EQ(box.Label2->text(), QStringLiteral("Version "));
}

TEST_F(AboutBoxTest, OkClosesWithOkAndTheBoxIsCentredOnTheScreen) {
    mainWindow.setGeometry(0, 0, 300, 200);
    int result = -1;
    QRect placed;
    dialogs.onModal = [&](QDialog& dialog) {
        dialog.show();
        placed = dialog.frameGeometry();
        EXPECT_TRUE(box.OKButton->isDefault());
        box.OKButton->click();
        EXPECT_FALSE(dialog.isVisible());
        result = dialog.result();
        return result;
    };
    box.About1Click(ModemIdentity{});
    EXPECT_EQ(result, QDialog::Accepted);
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((placed.center() - screenCentre).manhattanLength(), 2);
}

TEST_F(AboutBoxTest, ProgramIconIsDrawnAndNamed) {
    const QPixmap icon = box.ProgramIcon->pixmap();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(64, 64));
    EXPECT_FALSE(box.ProgramIcon->accessibleName().isEmpty());
    const QImage image = icon.toImage();
    // Transparent corners around an opaque tile.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(32, 40)), 255);
    // The notices point to the maker's support.
    EXPECT_TRUE(box.Copyright->text().contains(QStringLiteral("Vantor Communications Corp.")));
    EXPECT_TRUE(box.Label1->text().contains(QStringLiteral("https://")));
}

} // namespace
} // namespace tarvis
