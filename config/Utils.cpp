#include "config/Utils.h"

#include <QFile>

#include <array>

namespace tarvis {

namespace {

// A configuration file is a few kilobytes; anything beyond this is not read, so that a device
// or a runaway file put in its place cannot exhaust memory.
constexpr qint64 kMaxIniFileBytes = 16 * 1024 * 1024;

bool IsIniBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QString TrimIniBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsIniBlank(text[begin]))
        ++begin;
    while (end > begin && IsIniBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

QString LookupName(const QString& section, const QString& key) {
    return section.toCaseFolded() + u'\n' + key.toCaseFolded();
}

// Items of list text are separated by blanks, which here are every control character and the
// space, as hand-edited lists may hold tabs.
bool IsListBlank(QChar c) {
    return c.unicode() <= u' ';
}

bool NeedsListQuotes(const QString& item) {
    if (item.isEmpty())
        return true;
    for (QChar c : item) {
        const char16_t u = c.unicode();
        if (u <= u' ' || u == u',' || u == u'"' || u == 0x7F)
            return true;
    }
    return false;
}

struct GainRow {
    const char16_t* text;
    int rxCode;
    int txCode; // 0: no transmit code
};

// Rows sharing a code are listed with the text that code turns back into first.
constexpr std::array<GainRow, 17> kGainTable{{
    {u"-36dB", 16, 32},
    {u"-30dB", 17, 33},
    {u"-24dB", 18, 34},
    {u"-18dB", 19, 35},
    {u"-12dB", 20, 36},
    {u"-9dB", 21, 37},
    {u"-6dB", 22, 38},
    {u"-3dB", 23, 39},
    {u"+0dB", 1, 40},
    {u"0dB", 1, 40},
    {u"-0dB", 1, 40},
    {u"+3dB", 25, 0},
    {u"+6dB", 2, 0},
    {u"+9dB", 27, 0},
    {u"+12dB", 3, 0},
    {u"+18dB", 29, 0},
    {u"+24dB", 30, 0},
}};

const GainRow* FindGainText(const QString& text) {
    for (const GainRow& row : kGainTable) {
        if (text == QStringView(row.text))
            return &row;
    }
    return nullptr;
}

struct ModeRow {
    const char16_t* text;
    int mode;
};

constexpr std::array<ModeRow, 6> kModeTable{{
    {u"MIRVOL", 1},
    {u"AMTOR", 2},
    {u"PMODE", 3},
    {u"BAUDOT", 4},
    {u"ASCII", 5},
    {u"PSK31", 10},
}};

} // namespace

IniFile IniFile::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return FromBytes(file.read(kMaxIniFileBytes));
}

IniFile IniFile::FromBytes(const QByteArray& bytes) {
    IniFile ini;
    QString text = QString::fromUtf8(bytes);
    // An editor may have put a byte-order mark in front of the first section.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    bool inSection = false;
    QString section;
    qsizetype pos = 0;
    while (pos <= text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = QStringView(text).mid(pos, end - pos);
        pos = end + 1;

        const QString trimmed = TrimIniBlanks(line);
        if (trimmed.startsWith(u'[')) {
            const qsizetype close = trimmed.indexOf(u']');
            if (close > 0) {
                section = TrimIniBlanks(QStringView(trimmed).mid(1, close - 1));
                inSection = true;
                continue;
            }
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0)
            continue;
        const QString key = TrimIniBlanks(line.left(equals));
        if (key.isEmpty())
            continue;
        const QString name = LookupName(section, key);
        if (!ini.m_values.contains(name))
            ini.m_values.insert(name, line.mid(equals + 1).toString());
    }
    return ini;
}

QString IniFile::Value(const QString& section, const QString& key,
                       const QString& defaultText) const {
    const auto found = m_values.constFind(LookupName(section, key));
    if (found == m_values.cend())
        return CutText(defaultText, kMaxIniValueLength);
    QString value = TrimIniBlanks(*found);
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    return CutText(value, kMaxIniValueLength);
}

QString GetStringFromIniFile(const QString& file, const QString& section, const QString& key,
                             const QString& defaultText) {
    return IniFile::Load(file).Value(section, key, defaultText);
}

QString CutText(const QString& text, qsizetype capacity) {
    if (text.size() <= capacity)
        return text;
    qsizetype length = capacity;
    if (length > 0 && text[length - 1].isHighSurrogate())
        --length;
    return text.left(length);
}

QString ListToText(const QStringList& items) {
    QString text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += u',';
        const QString& item = items[i];
        if (NeedsListQuotes(item)) {
            QString quoted = item;
            quoted.replace(u'"', QStringLiteral("\"\""));
            text += u'"' + quoted + u'"';
        } else {
            text += item;
        }
    }
    return text;
}

QStringList TextToList(const QString& text) {
    QStringList items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsListBlank(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (text[i] == u'"') {
            ++i;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        item += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            const qsizetype start = i;
            while (i < n && !IsListBlank(text[i]) && text[i] != u',')
                ++i;
            item = text.mid(start, i - start);
        }
        items.append(item);
        skipBlanks();
        if (i < n && text[i] == u',') {
            ++i;
            skipBlanks();
            if (i == n)
                items.append(QString());
        }
    }
    return items;
}

bool RxGainCodeFromText(const QString& text, int& code) {
    QString name = text;
    if (name == u"1")
        name = QStringLiteral("+0dB");
    else if (name == u"2")
        name = QStringLiteral("+6dB");
    else if (name == u"3")
        name = QStringLiteral("+12dB");
    const GainRow* row = FindGainText(name);
    if (row == nullptr)
        return false;
    code = row->rxCode;
    return true;
}

bool TxGainCodeFromText(const QString& text, int& code) {
    const GainRow* row = FindGainText(text);
    if (row == nullptr || row->txCode == 0)
        return false;
    code = row->txCode;
    return true;
}

QString RxGainText(int code) {
    // The modem also knows 0, +6 and +12 dB by these codes; the program itself sends 1, 2, 3.
    if (code == 24)
        code = 1;
    else if (code == 26)
        code = 2;
    else if (code == 28)
        code = 3;
    for (const GainRow& row : kGainTable) {
        if (row.rxCode == code)
            return QString::fromUtf16(row.text);
    }
    return {};
}

QString TxGainText(int code) {
    for (const GainRow& row : kGainTable) {
        if (row.txCode != 0 && row.txCode == code)
            return QString::fromUtf16(row.text);
    }
    return {};
}

bool HasTransmitGain(const QString& hardwareVersion) {
    return hardwareVersion == u"800A" || hardwareVersion == u"8004" || hardwareVersion == u"800B";
}

int ModeNumberFromText(const QString& text) {
    for (const ModeRow& row : kModeTable) {
        if (text.compare(QStringView(row.text), Qt::CaseInsensitive) == 0)
            return row.mode;
    }
    return 1;
}

QString ModeText(int mode) {
    for (const ModeRow& row : kModeTable) {
        if (row.mode == mode)
            return QString::fromUtf16(row.text);
    }
    return QStringLiteral("MIRVOL");
}

} // namespace tarvis
