#pragma once

class QCoreApplication;

// Installs, for the system locale's language (LANG, LC_MESSAGES, LC_ALL, LANGUAGE), Qt's own
// texts (standard buttons) and the program's catalogue embedded under :/i18n. Nothing is
// installed for a language without a catalogue, so English stays. Returns whether the
// program's catalogue was found.
bool InstallTranslations(QCoreApplication &app);
