#include "ctl_output.h"

#include "ctl_stop.h"

#include <QCoreApplication>
#include <QJsonDocument>

QString CtlTr(const char *text)
{
    return QCoreApplication::translate("trivoctl", text);
}

QString PlainText(const QString &text)
{
    QString plain = text;
    for (QChar &c : plain) {
        const char16_t u = c.unicode();
        const bool bidi = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
        if (c.category() == QChar::Other_Control || bidi)
            c = QChar::ReplacementCharacter;
    }
    return plain;
}

void CtlWrite(FILE *stream, const QByteArray &bytes)
{
    const size_t written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    if (std::fflush(stream) != 0 || written != size_t(bytes.size())) {
        std::clearerr(stream);
        StopSignals::Request();
    }
}

namespace {
void write(FILE *stream, const QString &text)
{
    CtlWrite(stream, text.toUtf8());
}
} // namespace

void CtlOutput::line(const QString &text) const
{
    write(stdout, text + QLatin1Char('\n'));
}

void CtlOutput::table(const QList<QStringList> &rows, FILE *stream) const
{
    QList<int> widths;
    for (const QStringList &row : rows) {
        for (int i = 0; i < row.size(); ++i) {
            if (i >= widths.size())
                widths << 0;
            widths[i] = qMax(widths[i], int(row[i].size()));
        }
    }
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (int i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        text += line + QLatin1Char('\n');
    }
    write(stream, text);
}

void CtlOutput::document(const QJsonObject &object, bool compact) const
{
    write(stdout,
        QString::fromUtf8(QJsonDocument(object).toJson(
            compact ? QJsonDocument::Compact : QJsonDocument::Indented))
            + (compact ? QStringLiteral("\n") : QString()));
}

void CtlOutput::message(const QString &text) const
{
    write(stderr, QStringLiteral("trivoctl: ") + text + QLatin1Char('\n'));
}
