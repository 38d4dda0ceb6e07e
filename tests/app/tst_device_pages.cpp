// Structure of the device pages: the names, texts and flags the window relies on, and that
// every page shows what its model has (and nothing it lacks), lays out and paints cleanly.
#include "device_page.h"
#include "product_id.h"

#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QtTest>

namespace {

// The window gives every page these style sheets; the layout has to hold under them.
const char *const kAppStyleSheet = "QComboBox{ margin: 3px; padding-left: 5px; } QSpinBox{ "
                                   "margin: 2px; padding-left: 5px; } QPushButton { max-height: "
                                   "20px; }";
const char *const kFontStyle = "font: 9pt \"Arial\";";
// The form's room for a page between the device combo and the status line.
const QSize kPageAreaPx(kPageAreaWidthPx, kPageAreaHeightPx);

const QStringList kPrefixes = { "", "Media", "Media2" };
using F = PageFamily;

// The window's tab lookup: the first ancestor (or self) named like a tab.
QString tabOf(const QObject *object)
{
    static const QRegularExpression tabName("^m\\w+Tab$");
    for (; object; object = object->parent()) {
        if (tabName.match(object->objectName()).hasMatch())
            return object->objectName();
    }
    return QString();
}

QStringList tabTexts(const QTabWidget *tabs)
{
    QStringList texts;
    for (int i = 0; i < tabs->count(); ++i)
        texts << tabs->tabText(i);
    return texts;
}

// Contrast ratio of two colours, 1 (same) to 21 (black on white).
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF())
            + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QStringList warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        warnings << message;
}

} // namespace

class TestDevicePages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qApp->setStyleSheet(kAppStyleSheet);
        // A font set chosen by the test's own fontconfig file has to be the one in use.
        const QString expected = qEnvironmentVariable("TRIVO_EXPECT_FONT");
        if (!expected.isEmpty())
            QCOMPARE(QFontInfo(QFont("Arial", 9)).family().section(" [", 0, 0), expected);
    }

    // Every model with a page finds it (the two 64x64 12G revisions the same one); the rest
    // find none, and the window falls back on the unknown device's page, which comes first.
    void findPageRow()
    {
        QCOMPARE(PageTable().first().family(), F::Unknown);
        QCOMPARE(FindPageRow(BOARD_ROUTER_64X64_12G), FindPageRow(BOARD_ROUTER_64X64_12G_1));
        for (const ModelRow &model : ModelRegistry::Rows()) {
            const PageRow *page = FindPageRow(model.boardId);
            QCOMPARE(page != nullptr, model.hasPage());
            if (page)
                QCOMPARE(page->formName, QString(model.artwork) + "Ui");
        }
        for (uint32_t id : { uint32_t(kBoardIdUninitialised), 0u, 0x12345678u })
            QVERIFY(!FindPageRow(id));
    }

    void structure_data() { addRows(); }

    void structure()
    {
        QFETCH(int, row);
        const PageRow &entry = PageTable().at(row);
        DevicePage page(entry, false);
        QCOMPARE(page.objectName(), entry.containerName);
        const QList<ModelInterface> &interfaces = entry.model->interfaces;
        const int mediaLans = entry.model->mediaLanCount();
        QCOMPARE(page.groupBox()->objectName(), QString("mGroupBox"));

        // Network tabs: every member by name, matching the typed pointers, under the right tab.
        QCOMPARE(page.networkTabCount(), interfaces.size());
        for (int netIf = 0; netIf < kPrefixes.size(); ++netIf) {
            const QString prefix = "m" + kPrefixes[netIf];
            if (netIf > mediaLans) {
                QVERIFY(!page.findChild<QWidget *>(prefix + "NetworkTab"));
                continue;
            }
            const NetworkTabUi &ui = page.networkTab(netIf);
            const bool speed = !interfaces[netIf].speeds.isEmpty();
            if (!speed)
                QVERIFY(!page.findChild<QWidget *>(prefix + "SpeedComboBox"));
            // The controls whose slots find their interface through the tab above them.
            QList<QPair<QObject *, const char *>> members { { ui.tab, "NetworkTab" },
                { ui.modeComboBox, "ModeComboBox" }, { ui.ipAddressLineEdit, "IpAddressLineEdit" },
                { ui.subnetMaskLineEdit, "SubnetMaskLineEdit" },
                { ui.gatewayIpLineEdit, "GatewayIpLineEdit" },
                { ui.applyPushButton, "NetworkConfigApplyPushButton" },
                { ui.upnpEnableComboBox, "UPnPEnableComboBox" },
                { ui.openWebPagePushButton, "OpenWebPagePushButton" } };
            if (speed)
                members << qMakePair<QObject *, const char *>(ui.speedComboBox, "SpeedComboBox");
            // Each member exists once by name, is the typed pointer, and sits under its tab.
            for (const auto &[object, member] : members) {
                const auto found = page.findChildren<QWidget *>(prefix + member);
                QVERIFY2(found.size() == 1, qPrintable(prefix + member));
                QCOMPARE(object, found.first());
                QCOMPARE(tabOf(found.first()), prefix + "NetworkTab");
            }
            QCOMPARE(ui.speedComboBox != nullptr, speed);
            QCOMPARE(page.groupBox()->tabText(netIf), ModelRegistry::TabTitle(interfaces[netIf]));
            if (speed) {
                QStringList items;
                for (int i = 0; i < ui.speedComboBox->count(); ++i)
                    items << ui.speedComboBox->itemText(i);
                QCOMPARE(items, interfaces[netIf].speeds);
            }
            const QString linkLabel = QStringList { "mImageLanStatusLabel",
                "mImageMediaLanStatusLabel", "mImageMedia2LanStatusLabel" }[netIf];
            QVERIFY(ui.linkStatusLabel);
            QCOMPARE(ui.linkStatusLabel->objectName(), linkLabel);

            // Editing a mode or speed combo disables the Apply buttons below the combo's parent.
            for (QComboBox *combo : { ui.modeComboBox, ui.speedComboBox }) {
                if (combo)
                    QVERIFY(combo->parentWidget()->isAncestorOf(ui.applyPushButton));
            }
            for (QComboBox *combo : { ui.modeComboBox, ui.upnpEnableComboBox, ui.speedComboBox }) {
                if (combo)
                    QCOMPARE(combo->metaObject()->className(), "VeltoComboBox");
            }
            QVERIFY(ui.macAddressLineEdit->isReadOnly());
            QVERIFY(!ui.ipAddressLineEdit->isReadOnly());
            // UPnP widgets only where the interface has a UPnP host.
            for (QWidget *w :
                QList<QWidget *> { ui.upnpEnableLabel, ui.upnpEnableComboBox, ui.upnpEnableStatus })
                QCOMPARE(w->isHidden(), !interfaces[netIf].upnp);
        }

        // Network tabs first, the Update tab only where the model can be updated (the unknown
        // device's keeps it, its button off), Info last.
        const bool updateTab = entry.model->updatable || entry.family() == F::Unknown;
        const QStringList tabs = tabTexts(page.groupBox());
        QCOMPARE(tabs.size(), mediaLans + 2 + int(updateTab));
        QCOMPARE(tabs.last(), QString("Info"));
        QCOMPARE(tabs.contains("Update"), updateTab);
        QCOMPARE(page.hasUpdateTab(), updateTab);
        page.removeUpdateTab();
        page.removeUpdateTab();
        QCOMPARE(tabTexts(page.groupBox()).size(), mediaLans + 2);
        // The Update widgets outlive the removal; the window keeps pointers to them.
        QCOMPARE(
            page.findChild<QPushButton *>("mUpdatePushButton"), page.updateTab().updatePushButton);
        QCOMPARE(tabOf(page.updateTab().updatePushButton), QString("mUpdateTab"));
        QCOMPARE(tabOf(page.infoTab().setNamePushButton), QString("mInfoTab"));

        InfoTabUi &info = page.infoTab();
        UpdateTabUi &update = page.updateTab();
        QCOMPARE(update.tab->objectName(), QString("mUpdateTab"));
        QCOMPARE(info.tab->objectName(), QString("mInfoTab"));
        QVERIFY(!info.nameLineEdit->isReadOnly());
        for (QLineEdit *edit : { info.typeLineEdit, info.authenticationLineEdit,
                 info.safebootLineEdit, info.bootloaderLineEdit })
            QVERIFY2(edit->isReadOnly(), qPrintable(edit->objectName()));
        // Safeboot and bootloader fields: manufacturing mode only.
        const char *const manufacturingOnly[] = { "mInfoSafebootLabel", "mInfoBootloaderLabel",
            "mInfoSafebootLineEdit", "mInfoBootloaderLineEdit" };
        for (const char *name : manufacturingOnly)
            QVERIFY2(page.findChild<QWidget *>(name)->isHidden(), name);
        QVERIFY(!info.nameLineEdit->isHidden());

        // Picture area: the labels the window writes, outside every tab; a link text for each
        // interface the page has; only the video captions of the model's own kind.
        for (QLabel *label : page.pictureLabels())
            QCOMPARE(tabOf(label), QString());
        for (QLabel *label : { page.imageSerialNumberLabel(), page.imageMainLabel(),
                 page.imageUnknownNameLabel(), page.imageUsbStatusLabel() })
            QVERIFY(!label || page.pictureLabels().contains(label));
        const QStringList links { "mImageLanStatusLabel", "mImageMediaLanStatusLabel",
            "mImageMedia2LanStatusLabel" };
        for (int netIf = 0; netIf < links.size(); ++netIf)
            QCOMPARE(page.findChild<QLabel *>(links[netIf]) != nullptr, netIf <= mediaLans);
        const bool sdi = entry.model->video == ModelVideo::Sdi;
        if (entry.family() == F::OneMediaLan) {
            QCOMPARE(page.findChild<QLabel *>("mImageSDILabel") != nullptr, sdi);
            QCOMPARE(page.findChild<QLabel *>("mImageHDMILabel") != nullptr, !sdi);
        }
        if (entry.family() == F::TwoMediaLans)
            QCOMPARE(page.findChild<QLabel *>("mImageRef_In_Label") != nullptr, sdi);
        QCOMPARE(page.imageUnknownNameLabel() != nullptr, entry.family() == F::Unknown);
        QCOMPARE(page.imageUsbStatusLabel() != nullptr, entry.family() == F::Unknown);
        QLabel *link = page.findChild<QLabel *>("mUpdateSofwareDownloadLinkLabel");
        QCOMPARE(link, page.updateTab().downloadLinkLabel);
        QCOMPARE(link != nullptr, entry.family() != F::Unknown);
        if (link)
            QVERIFY(link->text().contains("<a href=\"https://"));

        // Pictures come from the resources: the model's own, and the family's LED.
        const QImage model(entry.modelPicture);
        QVERIFY2(!model.isNull(), qPrintable(entry.modelPicture));
        QCOMPARE(page.imageMainLabel()->pixmap().toImage(),
            model.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        if (auto *led = page.findChild<QLabel *>("mImagePowerStatusLED")) {
            const char *file = entry.family() == F::Recorder ? ":/media/images/ledgreendown.png"
                                                             : ":/media/images/ledgreen.png";
            QVERIFY(!QImage(file).isNull());
            QCOMPARE(led->pixmap().toImage(),
                QImage(file).convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }

    void layoutAndPaint_data() { addRows(); }

    // Every tab of every page, at the size the window gives it: nothing squeezed below what it
    // needs, no two neighbours overlapping, and painting raises no warning. The form's own
    // size holds where the fonts fit it.
    void layoutAndPaint()
    {
        QFETCH(int, row);
        const PageRow &entry = PageTable().at(row);
        QWidget window;
        window.setStyleSheet(kFontStyle);
        auto *page = new DevicePage(entry, true, &window);
        for (const char *name : { "mInfoSafebootLineEdit", "mInfoBootloaderLineEdit" })
            QVERIFY2(!page->findChild<QWidget *>(name)->isHidden(), name);
        page->setStyleSheet(kFontStyle);
        // The window's area is at least this page's.
        const QSize area = FitPagesToFonts({ page });
        if (qEnvironmentVariableIntValue("TRIVO_FONTS_FIT") == 1)
            QCOMPARE(area, kPageAreaPx);
        page->setGeometry(QRect(QPoint(0, 40), area));
        window.resize(area + QSize(0, 40));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QString grabDir = qEnvironmentVariable("TRIVO_PAGE_GRAB_DIR");
        for (int tab = 0; tab < page->groupBox()->count(); ++tab) {
            page->groupBox()->setCurrentIndex(tab);
            warnings.clear();
            const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
            const QPixmap shot = page->grab();
            qInstallMessageHandler(previous);
            QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
            QCOMPARE(shot.size(), area);
            if (!grabDir.isEmpty())
                shot.save(
                    QDir(grabDir).filePath(QString("%1-%2.png").arg(entry.formName).arg(tab)));

            const QList<QWidget *> widgets = page->findChildren<QWidget *>();
            for (QWidget *w : widgets) {
                if (!w->isVisible() || w->objectName().startsWith("qt_"))
                    continue;
                const QString what = w->objectName() + " on tab " + QString::number(tab);
                const QSize min = w->minimumSizeHint();
                if (auto *label = qobject_cast<QLabel *>(w); label && label->wordWrap()) {
                    QVERIFY2(
                        label->heightForWidth(label->width()) <= label->height(), qPrintable(what));
                    // Wrapping never breaks a word, so each word has to fit on its own.
                    for (const QString &word : label->text().split(' '))
                        QVERIFY2(label->fontMetrics().horizontalAdvance(word)
                                <= label->contentsRect().width(),
                            qPrintable(what + ": " + word));
                } else if (qobject_cast<QLabel *>(w) || qobject_cast<QLineEdit *>(w)
                    || qobject_cast<QComboBox *>(w) || qobject_cast<QPushButton *>(w)) {
                    QVERIFY2(
                        w->width() >= min.width() && w->height() >= min.height(), qPrintable(what));
                }
                // Siblings laid out by the page must not overlap.
                if (w->parentWidget() == page->groupBox() || w == page->groupBox())
                    continue;
                for (QObject *other : w->parentWidget()->children()) {
                    auto *sibling = qobject_cast<QWidget *>(other);
                    if (!sibling || sibling == w || !sibling->isVisible()
                        || sibling->objectName().startsWith("qt_"))
                        continue;
                    QVERIFY2(!w->geometry().intersects(sibling->geometry()),
                        qPrintable(what + " overlaps " + sibling->objectName()));
                }
            }
        }
    }

    // Fonts that need more room than the form has grow the room instead of squeezing the page.
    void roomGrowsForLargerFonts()
    {
        DevicePage page(*FindPageRow(BOARD_RX_25G), false);
        page.setStyleSheet(
            QString("* { %1 } QTabWidget * { font: 20pt \"Arial\"; }").arg(kFontStyle));
        const QSize area = FitPagesToFonts({ &page });
        QVERIFY(area.height() > kPageAreaPx.height());
        QVERIFY(area.height() >= page.minimumSizeHint().height());
    }

    // A dark desktop palette must not turn the picture area's text light on its light background.
    void pictureTextReadableOnDarkDesktop()
    {
        const QPalette original = qApp->palette();
        QPalette dark(QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Text, Qt::white);
        qApp->setPalette(dark);
        for (const PageRow &entry : PageTable()) {
            DevicePage page(entry, false);
            page.setStyleSheet(kFontStyle);
            const QImage background = QImage(":/media/images/pages/background.png");
            QVERIFY(!background.isNull());
            // The lightest and darkest parts of the background both have to contrast.
            const QColor top = background.pixelColor(background.width() / 2, 1);
            const QColor bottom
                = background.pixelColor(background.width() / 2, background.height() - 4);
            for (QLabel *label : page.pictureLabels()) {
                label->ensurePolished();
                const QColor ink = label->palette().color(label->foregroundRole());
                QVERIFY2(contrast(ink, top) >= 4.5 && contrast(ink, bottom) >= 4.5,
                    qPrintable(entry.formName + " " + label->objectName()));
            }
        }
        qApp->setPalette(original);
    }

    void statusCaptionFollowsValue_data()
    {
        QTest::addColumn<bool>("pageShown");
        QTest::newRow("page on show") << true;
        QTest::newRow("page hidden") << false;
    }

    // The window hides the unknown page's USB and LAN status while no module is present; their
    // captions must go with them, whether or not the page is on show at the time.
    void statusCaptionFollowsValue()
    {
        QFETCH(bool, pageShown);
        DevicePage page(*FindPageRow(kBoardIdUnknown), false);
        page.setVisible(pageShown);
        const QList<QPair<const char *, QString>> statuses { { "mImageUSBStatusLabel", "USB:" },
            { "mImageLanStatusLabel", "LAN:" } };
        for (const auto &[name, captionText] : statuses) {
            QLabel *value = page.findChild<QLabel *>(name);
            QLabel *caption = nullptr;
            for (QLabel *label : page.pictureLabels())
                caption = label->text() == captionText ? label : caption;
            QVERIFY(value && caption);
            value->hide();
            QVERIFY(caption->isHidden());
            page.show();
            QVERIFY(!caption->isVisible());
            page.setVisible(pageShown);
            value->show();
            QVERIFY(!caption->isHidden());
        }
    }

private:
    void addRows()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < PageTable().size(); ++i)
            QTest::newRow(qPrintable(PageTable().at(i).containerName)) << i;
    }
};

QTEST_MAIN(TestDevicePages)
#include "tst_device_pages.moc"
