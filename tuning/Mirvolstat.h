#pragma once
// MIRVOL link statistics: the figures of both ends of the link in the statistics window, the
// fastest bias reached so far, and the statistics file (".TST") in the home folder with one
// pair of lines per modulation report while saving is on.
#include <QByteArray>
#include <QDateTime>
#include <QGroupBox>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QLineEdit;
class QPushButton;

namespace tarvis {

class Dialogs;
class TFrequencyTuneFrm;
class TMirvolStatisticsFrm;

using StatisticsRecord = std::array<std::uint8_t, 14>;
using ModulationRecord = std::array<std::uint8_t, 4>;

// The saving side of the statistics; the records themselves are the status decoder's.
struct StatisticsState {
    // Statistics lines are written while this is set.
    bool saving = false;
    // Set once the file's header is on disk; lines are held back until then, so a report
    // that comes in while the header dialog is open makes no file of its own.
    bool headerWritten = false;
    // "MMDDhhmm.TST", kept until the next request.
    QString fileName;
    // The highest bias code seen since the program started.
    int fastestBias = 0;
};

// The status pane that names the statistics file while it is written.
inline constexpr int kStatisticsFilePane = 6;
// The status pane that names the fastest bias while a link is up.
inline constexpr int kBiasPane = 2;

// Modulation names by code (bits 2 to 5); empty for code 0 and for 12 to 15.
QString ModulationName(int code);
// "ROBUST", "NORMAL", "FAST"; empty for 3.
QString BiasName(int code);
// Month, day, hour and minute as two digits each, then ".TST".
QString StatisticsFileName(const QDateTime& localTime);

// After a statistics report: writes the twelve boxes and moves the frequency pointer by the
// remote frequency offset.
void StatisticsUpdate(TMirvolStatisticsFrm& form, TFrequencyTuneFrm& tune,
                      const StatisticsRecord& record);
// After a modulation report: writes both modulation boxes and raises the fastest bias. While a
// link is up, returns the text for the bias pane.
std::optional<QString> ModulationUpdate(TMirvolStatisticsFrm& form, StatisticsState& state,
                                        const ModulationRecord& record, bool linkEstablished);

// The file's first three lines: the name, the operator's header fields, the column header
// and an empty line.
QByteArray StatisticsHeader(const QString& fileName, const QString& frequency, const QString& name,
                            const QString& other);
// One line of figures: the local end's (with the own call) or the remote end's.
QByteArray StatisticsLine(const StatisticsRecord& statistics, const ModulationRecord& modulation,
                          bool local, const QString& call, const QTime& localTime);
// After each modulation report while saving: appends the local and then the remote line, only
// in MIRVOL (operating mode 1) with a link up. A line whose file cannot be opened is lost, and
// so is any line after it.
void WriteStatisticsLines(const StatisticsState& state, const StatisticsRecord& statistics,
                          const ModulationRecord& modulation, const QString& homeFolder,
                          int operatingMode, bool linkEstablished, const QString& myCall,
                          const QString& hisCall, const QTime& localTime);
// Saving ends (the stop command of the file menu).
void StopStatisticsSaving(StatisticsState& state);

// The main window's panel that asks for the statistics file's header fields.
class TStatsBox : public QGroupBox {
public:
    struct Links {
        QAction* mnuFilesSaveStatistics = nullptr;
        QAction* mnuFilesStopSaveSend = nullptr;
        // Gets the focus when the panel closes.
        QWidget* transmitPane = nullptr;
        std::function<void(int pane, const QString& text)> setStatusPane;
    };
    TStatsBox(QWidget* mainWindow, StatisticsState& state, Dialogs& dialogs, QString homeFolder,
              Links links);

    // "Save statistics to disk...": names the file after the moment, shows the panel.
    void mnuFilesSaveStatisticsClick(const QDateTime& localNow);
    // Creates the file with its header and starts saving.
    void StatsOKClick();
    // Closes the panel without saving.
    void Button6Click();

    QLineEdit* edStatsFreq = nullptr;
    QLineEdit* edStatsName = nullptr;
    QLineEdit* edStatsOther = nullptr;
    QPushButton* StatsOK = nullptr;
    QPushButton* Button6 = nullptr;

private:
    void Close();
    void Fail(const QString& message);

    StatisticsState& state_;
    Dialogs& dialogs_;
    QString homeFolder_;
    Links links_;
};

} // namespace tarvis
