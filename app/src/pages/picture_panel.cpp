#include "page_families.h"
#include "page_parts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QVBoxLayout>

namespace {

const char *const kPanelTextColor = "#1b2128";

// The picture area: the common background, drawn to the panel's size under its labels.
class PicturePanel : public QWidget
{
public:
    PicturePanel()
        : mBackground(kBackgroundPicture)
    {
        setObjectName("mImagePanel");
        // The background is light whatever the desktop's colours, so its text stays dark.
        // A style sheet, not a palette: the window's style sheets stop palettes propagating.
        setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(kPanelTextColor));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), mBackground);
    }

private:
    QPixmap mBackground;
};

// Shows a status caption exactly while its value label is shown, so hiding a status value
// ("LAN: Connected") takes its caption along.
class CaptionFollower : public QObject
{
public:
    CaptionFollower(QLabel *caption, QLabel *value)
        : QObject(value)
        , mCaption(caption)
    {
        value->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // The caption may already be gone while the panel is being torn down.
        if (mCaption && event->type() == QEvent::ShowToParent)
            mCaption->setVisible(true);
        else if (mCaption && event->type() == QEvent::HideToParent)
            mCaption->setVisible(false);
        return false;
    }

private:
    QPointer<QLabel> mCaption;
};

// The gap after a status group belongs to its last label, so it goes when the label is hidden.
QLabel *endOfGroup(QLabel *label)
{
    label->setContentsMargins(0, 0, 10, 0);
    return label;
}

QString translated(const char *text)
{
    return QCoreApplication::translate("DevicePage", text);
}

} // namespace

PicturePanelUi BuildPicturePanel(const PageRow &row)
{
    PicturePanelUi ui;
    ui.panel = new PicturePanel;

    const auto addLabel = [&](const char *name, const QString &text) {
        auto *label = new QLabel(text);
        // Version, serial number and link texts come from the module: never read as markup.
        label->setTextFormat(Qt::PlainText);
        if (name) {
            label->setObjectName(name);
            ui.namedLabels.insert(name, label);
        }
        ui.labels.append(label);
        return label;
    };

    ui.serialNumberLabel = addLabel("mImageSerialNumberLabel", "Version: 0.0.0  Sn: 00000000");
    ui.mainLabel = addLabel("mImageMainLabel", QString());
    ui.mainLabel->setPixmap(QPixmap(row.modelPicture));
    ui.mainLabel->setFixedSize(kPictureWidthPx, kPictureHeightPx);
    ui.mainLabel->setToolTip(row.model->modelName);

    const QList<PictureItem> items = PictureItemsFor(row);
    int connectorCount = 0;
    for (const PictureItem &item : items)
        connectorCount += item.role == PictureRole::Connector ? 1 : 0;
    const int slotWidth = ConnectorSlotWidthPx(connectorCount);

    // Captions sit in the same slots the artwork drew the connectors in.
    auto *captions = new QWidget;
    captions->setFixedWidth(kPictureWidthPx);
    auto *captionRow = new QHBoxLayout(captions);
    captionRow->setContentsMargins(0, 0, 0, 0);
    captionRow->setSpacing(0);
    captionRow->addSpacing(kPictureNameWidthPx);

    auto *statusRow = new QHBoxLayout;
    statusRow->setSpacing(6);
    const QPixmap led = TraitsFor(row.family()).ledPicture
        ? QPixmap(TraitsFor(row.family()).ledPicture)
        : QPixmap();

    for (const PictureItem &item : items) {
        switch (item.role) {
        case PictureRole::Connector: {
            QLabel *label = addLabel(item.name, translated(item.text));
            label->setFixedWidth(slotWidth);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label->setWordWrap(true);
            label->setContentsMargins(2, 0, 2, 0); // keeps neighbouring captions apart
            captionRow->addWidget(label);
            break;
        }
        case PictureRole::Status: {
            QLabel *caption = addLabel(nullptr, translated(item.caption));
            QLabel *value = addLabel(item.name, translated(item.text));
            new CaptionFollower(caption, value);
            statusRow->addWidget(caption);
            statusRow->addWidget(endOfGroup(value));
            break;
        }
        case PictureRole::Led: {
            statusRow->addWidget(addLabel(item.name, translated(item.text)));
            QLabel *ledLabel = addLabel(item.caption, QString());
            ledLabel->setPixmap(led);
            statusRow->addWidget(endOfGroup(ledLabel));
            break;
        }
        case PictureRole::Plain:
            statusRow->addWidget(endOfGroup(addLabel(item.name, translated(item.text))));
            break;
        case PictureRole::Hidden: {
            QLabel *label = addLabel(item.name, translated(item.text));
            label->setParent(ui.panel);
            label->hide();
            break;
        }
        }
    }
    captionRow->addStretch(1);
    statusRow->addStretch(1);

    // Everything lines up with the picture's edges.
    auto *content = new QWidget;
    content->setFixedWidth(kPictureWidthPx);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);
    column->addWidget(ui.serialNumberLabel);
    column->addWidget(ui.mainLabel);
    column->addWidget(captions);
    column->addLayout(statusRow);
    auto *outer = new QHBoxLayout(ui.panel);
    outer->setContentsMargins(0, 6, 0, 6);
    outer->addWidget(content, 0, Qt::AlignHCenter);
    return ui;
}
