#pragma once

#include <QComboBox>

// Combo box of the device pages. Its items go through a plain styled delegate so
// that the application's style sheet reaches the drop-down list, and its label is
// painted with the widget's own palette, which keeps the text readable under any
// desktop palette, light or dark, focused or not.
class VeltoComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit VeltoComboBox(QWidget *parent = nullptr);

    bool delegateInstalled() const { return mDelegateInstalled; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool mDelegateInstalled = false;
};
