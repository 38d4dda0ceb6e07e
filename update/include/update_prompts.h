#pragma once

#include <QString>

// What an update asks a person. The window answers with its dialogs, the command-line tool
// from its options or the terminal, tests from a script.
class UpdatePrompts
{
public:
    struct PackageRequest
    {
        QString title; // "Upload a file"
        QString directory; // where to start looking
        QString filter; // ".VLTS (*.vlts)"
    };

    virtual ~UpdatePrompts() = default;

    // The package to upload; empty when the person chose none.
    virtual QString PickPackage(const PackageRequest &request) = 0;
    // Whether to update the module; ConfirmUpdateText gives the question.
    virtual bool ConfirmUpdate(const QString &displayName, const QString &fileName) = 0;
    // Whether to commit the verified image.
    virtual bool ConfirmCommit(const QString &title, const QString &message) = 0;
    // Tells the person the module must now reboot; returns once they have seen it.
    virtual void RebootNotice(const QString &displayName) = 0;
    // The update was refused for the module's update lock: whether the person asks, knowing
    // that another program may hold it, for the lock to be released. Nobody is asked unless
    // the owner offers it.
    virtual bool OfferLockRelease(const QString &displayName)
    {
        (void)displayName;
        return false;
    }

    static QString ConfirmUpdateTitle() { return QStringLiteral("Software Update Confirmation"); }
    static QString ConfirmUpdateText(const QString &displayName, const QString &fileName)
    {
        return QStringLiteral("Update the ") + displayName + QStringLiteral(" with ") + fileName
            + QStringLiteral("?\n\nThe update can take up to three minutes and will require a "
                             "reboot.");
    }
    static QString RebootNoticeText(const QString &displayName)
    {
        return QStringLiteral("The ") + displayName + QStringLiteral(" must now reboot.");
    }
};
