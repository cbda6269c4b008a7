#include "shell/HelpForm.h"
#include "platform/Dialogs.h"
#include "shell/HelpText.h"
#include "tuning/About.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFile>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <memory>

namespace tarvis {

namespace {

// Pale yellow, as the operator knows the help page.
constexpr QRgb kHelpBackground = 0xFFFFFF99;
constexpr int kDefaultWidth = 600;
constexpr int kDefaultHeight = 331;
constexpr int kMinimumWidth = 600;
// Where the window opens relative to the main window's top-left corner.
constexpr int kOpenOffset = 10;
// Space kept free around the printed text when the page has no margins, in millimetres.
constexpr qreal kPrintMarginMm = 15.0;

// A small printer for the print button: paper going in at the top, the body, paper coming out.
QIcon PrinterIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9.5, 3.5, 13, 10));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(3.5, 12.5, 25, 11), 2, 2);
    p.setBrush(QColor(60, 190, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(23, 15, 3, 3));
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 19.5, 15, 9));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawLine(QPointF(11, 23), QPointF(21, 23));
    p.drawLine(QPointF(11, 26), QPointF(18, 26));
    return QIcon(pixmap);
}

} // namespace

bool PrintTextDocument(const QTextDocument& document, QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.isValid()) {
        return false;
    }
    // Keep the operator's margins; a page set up without any still gets a white border.
    if (printer.pageLayout().margins().isNull()) {
        printer.setPageMargins(
            QMarginsF(kPrintMarginMm, kPrintMarginMm, kPrintMarginMm, kPrintMarginMm),
            QPageLayout::Millimeter);
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    // Lay a copy out for the printer's resolution and page, so that the window's own layout
    // stays as it is.
    const std::unique_ptr<QTextDocument> copy(document.clone());
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setDocumentMargin(0);
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    copy->setPageSize(page);
    const int pages = copy->pageCount();
    bool ok = true;
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage()) {
            ok = false;
            break;
        }
        const QRectF clip(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -clip.top());
        copy->drawContents(&painter, clip);
        painter.restore();
    }
    ok = painter.end() && ok;
    return ok && printer.printerState() != QPrinter::Error &&
           printer.printerState() != QPrinter::Aborted;
}

THelpForm::THelpForm(Dialogs& dialogs, QString helpFilePath)
    : QMainWindow(nullptr, Qt::Window), dialogs_(dialogs) {
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Tarvis Help"));
    setWindowIcon(QIcon(ProgramIconPixmap(64)));
    // Closing the main window ends the program even while the help is showing.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(kDefaultWidth, kDefaultHeight);
    setMinimumWidth(kMinimumWidth);

    Print1 = new QAction(PrinterIcon(), QStringLiteral("&Print..."), this);
    // The button carries the menu item's full caption, dots included.
    Print1->setIconText(Print1->text());
    Exit1 = new QAction(QStringLiteral("E&xit"), this);
    connect(Print1, &QAction::triggered, this, [this] { Print1Click(); });
    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });

    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->addAction(Print1);
    File1->addSeparator();
    File1->addAction(Exit1);

    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(20, 20));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->addAction(Print1);
    PrintButton = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(Print1));
    PrintButton->setAccessibleName(QStringLiteral("Print"));

    Editor = new QTextEdit(this);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setFrameShape(QFrame::NoFrame);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Editor->setAccessibleName(QStringLiteral("Hot keys"));
    Editor->document()->setDocumentMargin(8);
    setCentralWidget(Editor);

    // The edit menu of the text box offers the usual items; the text is read-only, so they
    // are left without effect.
    EditorPopup = new QMenu(Editor);
    Cut1 = EditorPopup->addAction(QStringLiteral("Cu&t"));
    Copy1 = EditorPopup->addAction(QStringLiteral("&Copy"));
    Paste1 = EditorPopup->addAction(QStringLiteral("&Paste"));
    Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Editor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { EditorPopup->popup(Editor->viewport()->mapToGlobal(at)); });

    LoadHelpFile(helpFilePath);

    QPalette palette = Editor->palette();
    palette.setColor(QPalette::Base, QColor::fromRgba(kHelpBackground));
    palette.setColor(QPalette::Text, Qt::black);
    Editor->setPalette(palette);
    Editor->setReadOnly(true);
}

void THelpForm::LoadHelpFile(const QString& path) {
    QFile file(path);
    QByteArray bytes;
    bool loaded = file.open(QIODevice::ReadOnly) && file.size() <= kHelpFileMaxBytes;
    if (loaded) {
        bytes = file.read(kHelpFileMaxBytes + 1);
        loaded = file.error() == QFileDevice::NoError && bytes.size() <= kHelpFileMaxBytes;
    }
    if (!loaded) {
        Editor->setPlainText(QLatin1String(kHelpLoadError));
        return;
    }
    ShowHelpBytes(*Editor, bytes);
}

void THelpForm::Open(QWidget& mainWindow) {
    if (isVisible()) {
        return;
    }
    move(mainWindow.frameGeometry().topLeft() + QPoint(kOpenOffset, kOpenOffset));
    resize(mainWindow.size());
    show();
}

void THelpForm::Print1Click() {
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs_.PrintSetup(this, printer)) {
        return;
    }
    printer.setDocName(QString());
    if (!PrintTextDocument(*Editor->document(), printer)) {
        dialogs_.ShowMessage(QLatin1String(kHelpPrintError));
    }
}

void THelpForm::Exit1Click() {
    hide();
}

} // namespace tarvis
