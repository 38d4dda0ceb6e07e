#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>

// User-visible texts of the tool, in its own translation context.
QString CtlTr(const char *text);

// Text from a module made safe for a terminal: control characters and bidirectional
// overrides become U+FFFD, so a module's name cannot move the cursor or rewrite the screen.
QString PlainText(const QString &text);

// Writes bytes to stream at once. A stream that can no longer be written (a closed pipe, a
// terminal gone) stops the tool as a signal does, so that its clean-up still runs.
void CtlWrite(FILE *stream, const QByteArray &bytes);

// Where the tool writes: results on standard output (human text, or with --json one
// document, or one line per event), messages and logs on standard error.
class CtlOutput
{
public:
    explicit CtlOutput(bool json)
        : mJson(json)
    { }

    bool isJson() const { return mJson; }

    // A result line (human mode).
    void line(const QString &text) const;
    // Rows of cells in aligned columns (human mode), on standard output or error.
    void table(const QList<QStringList> &rows, FILE *stream = stdout) const;
    // The JSON document, or one event line when compact.
    void document(const QJsonObject &object, bool compact = false) const;
    // A message for the person at the terminal, on standard error.
    void message(const QString &text) const;

private:
    bool mJson;
};
