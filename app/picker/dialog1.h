#pragma once

#include "core/keypad/model_catalogue.h"

#include <QDialog>

#include <array>

class PictureCache;
class QButtonGroup;
class QLabel;
class QPushButton;

// The model picker: six board pictures with a click target over each. A click
// only announces the choice; whoever owns the configuration takes it over.
class Dialog1 : public QDialog {
    Q_OBJECT
public:
    explicit Dialog1(PictureCache& pictures, QWidget* parent = nullptr);

    // Lays the picker out over the main window of size W x H. While the
    // picker is hidden only the geometry follows; its pictures and style
    // sheets wait until it is shown.
    void place(int W, int H);
    QButtonGroup* buttonGroup() const { return m_group; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

public slots:
    void on_changeButtonGroup(int id);

signals:
    // Keys in the low byte, knobs in the high byte.
    void modelPicked(quint16 value);

private:
    void retranslateUi();
    void applyLooks();

    // The window size of the last placement, or 0 x 0 before the first.
    int m_W = 0;
    int m_H = 0;

    QPushButton* m_title = nullptr;
    std::array<QLabel*, ModelCatalogue::kPickerCount> m_pictures{};
    std::array<QLabel*, ModelCatalogue::kPickerCount> m_names{};  // under each picture
    std::array<QPushButton*, ModelCatalogue::kPickerCount> m_buttons{};
    QButtonGroup* m_group = nullptr;
    PictureCache& m_pictureCache;
};
