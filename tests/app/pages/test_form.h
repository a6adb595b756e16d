#pragma once

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>

#include <memory>

#include "core/keypad/keypad_config.h"

// A stand-in for the main window's form: the named controls the pages look
// up, parented as on the real form (pages of a tab widget).
struct TestForm {
    std::unique_ptr<QWidget> root{new QWidget};
    QTabWidget* tabs = nullptr;
    QTextEdit* lineEdit = nullptr;

    TestForm()
    {
        tabs = new QTabWidget(root.get());
        tabs->setObjectName("tabWidget");
        const char* pageNames[] = {"tab", "tab1", "tab2", "tab3", "tab4", "tab5"};
        const char* captions[] = {"BaseKeys", "Ctrl Shift Alt", "MutiMedia", "RGB LED", "Mouse", "DelaySetting"};
        QWidget* pages[6];
        for (int i = 0; i < 6; ++i) {
            pages[i] = new QWidget;
            pages[i]->setObjectName(pageNames[i]);
            tabs->addTab(pages[i], captions[i]);
        }
        for (int n = 1; n <= 56; ++n)
            button(pages[3], QString("LED_color_%1").arg(n));
        for (int m = 0; m < 6; ++m)
            button(pages[3], QString("LED_Mode_%1").arg(m));
        for (const char* name : {"mouse_left", "Like", "LeftSwipe", "RightSwipe", "UpSwipe", "DownSwipe"})
            button(pages[4], name);
        for (int n = 1; n <= 18; ++n) {
            auto* box = new QSpinBox(pages[5]);
            box->setObjectName(QString("delay_spinBox_%1").arg(n));
            box->setMaximum(6000);
            button(pages[5], QString("pushButton_delay_%1").arg(n));
        }
        auto* spinBox = new QSpinBox(pages[5]);
        spinBox->setObjectName("spinBox");
        spinBox->setRange(0, 6000);
        auto* slider = new QSlider(Qt::Horizontal, pages[5]);
        slider->setObjectName("horizontalSlider");
        slider->setRange(0, 6000);
        new QLabel(pages[5]);
        root->findChildren<QLabel*>().first()->setObjectName("label");
        (new QLabel(pages[5]))->setObjectName("label_2");
        for (int k = 1; k <= 25; ++k)
            button(root.get(), QString("pushButton_K%1").arg(k))->setText("NULL");
        lineEdit = new QTextEdit(root.get());
        lineEdit->setObjectName("lineEdit");
    }

    template <typename T = QPushButton>
    T* find(const QString& name) const
    {
        return root->findChild<T*>(name);
    }

private:
    static QPushButton* button(QWidget* parent, const QString& name)
    {
        auto* b = new QPushButton(parent);
        b->setObjectName(name);
        return b;
    }
};

