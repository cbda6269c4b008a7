#pragma once
// The modem simulator as a child process: started on a station's Config/COMn link, spoken to
// through its control socket, its command log read back, stopped with SIGTERM.
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QThread>
#include <chrono>
#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tarvis::test {

class SimProcess {
public:
    SimProcess(const QString& linkPath, const QString& logPath, const QString& controlPath,
               const QStringList& options)
        : link_(linkPath), log_(logPath), control_(controlPath) {
        std::vector<std::string> args = {
            QD470SIM_PATH,         "--link",    linkPath.toStdString(),    "--log",
            logPath.toStdString(), "--control", controlPath.toStdString(), "--no-stdin"};
        for (const QString& o : options) {
            args.push_back(o.toStdString());
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            // A test program that dies does not leave its simulator behind.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        // Ready once its link and its control socket are there.
        for (int i = 0; i < 500 && !(QFileInfo(link_).isSymLink() && QFileInfo::exists(control_));
             ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Ready() const { return QFileInfo(link_).isSymLink(); }

    // One control command; its answer line.
    std::string Control(const std::string& command) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const std::string path = control_.toStdString();
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd);
            return "error: cannot connect";
        }
        const std::string line = command + "\n";
        [[maybe_unused]] ssize_t w = ::write(fd, line.data(), line.size());
        std::string answer;
        char c = 0;
        while (::read(fd, &c, 1) == 1 && c != '\n') {
            answer.push_back(c);
        }
        ::close(fd);
        return answer;
    }

    // The log's lines without their time stamps.
    QStringList LogLines() const {
        QFile f(log_);
        QStringList lines;
        if (!f.open(QIODevice::ReadOnly)) {
            return lines;
        }
        for (const QByteArray& raw : f.readAll().split('\n')) {
            QString line = QString::fromUtf8(raw).trimmed();
            const int blank = line.indexOf(QLatin1Char(' '));
            if (blank > 0 && line.at(2) == QLatin1Char(':')) {
                line = line.mid(blank + 1);
            }
            if (!line.isEmpty()) {
                lines << line;
            }
        }
        return lines;
    }

    // The host's commands as logged, without what the simulator sent.
    QStringList Commands() const {
        QStringList commands;
        for (const QString& line : LogLines()) {
            if (line.startsWith(QLatin1String("80 "))) {
                commands << line;
            }
        }
        return commands;
    }

    bool WaitForLog(const QString& text, int milliseconds = 5000) const {
        for (int waited = 0; waited < milliseconds; waited += 10) {
            if (LogLines().join(QLatin1Char('\n')).contains(text)) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // SIGTERM; the exit status, -1 when it did not end.
    int Stop() {
        if (pid_ <= 0) {
            return status_;
        }
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 300; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return status_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status_;
    }

private:
    QString link_;
    QString log_;
    QString control_;
    pid_t pid_ = -1;
    int status_ = -1;
};

} // namespace tarvis::test
