// The window colours of View > Theme.
#include "app/ui/Theme.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <optional>

namespace orvex {
namespace {

QPalette LightPalette() {
    QPalette p(QColor(239, 239, 239));
    p.setColor(QPalette::Window, QColor(239, 239, 239));
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Button, QColor(239, 239, 239));
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Highlight, QColor(48, 140, 198));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(110, 110, 110));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(150, 150, 150));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 150, 150));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(150, 150, 150));
    return p;
}

QPalette DarkPalette() {
    QPalette p(QColor(53, 53, 53));
    p.setColor(QPalette::Window, QColor(45, 45, 48));
    p.setColor(QPalette::WindowText, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(30, 30, 32));
    p.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    p.setColor(QPalette::Text, QColor(230, 230, 230));
    p.setColor(QPalette::Button, QColor(58, 58, 62));
    p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    p.setColor(QPalette::BrightText, QColor(255, 90, 90));
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    p.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(90, 170, 255));
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Light, QColor(80, 80, 84));
    p.setColor(QPalette::Midlight, QColor(66, 66, 70));
    p.setColor(QPalette::Mid, QColor(40, 40, 42));
    p.setColor(QPalette::Dark, QColor(25, 25, 27));
    p.setColor(QPalette::Shadow, QColor(10, 10, 10));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    return p;
}

}  // namespace

void ApplyTheme(AppTheme theme) {
    static std::optional<QPalette> startup;
    if (!startup) startup = QApplication::palette();
    switch (theme) {
        case AppTheme::System:
            QApplication::setPalette(*startup);
            break;
        case AppTheme::Light:
            QApplication::setPalette(LightPalette());
            break;
        case AppTheme::Dark:
            QApplication::setPalette(DarkPalette());
            break;
    }
}

}  // namespace orvex
