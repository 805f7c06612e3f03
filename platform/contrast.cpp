#include "platform/contrast.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>

namespace platform {

namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
  return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
         0.0722 * Linear(colour.blueF());
}

// The same hue and saturation, a step lighter or darker at a time, until text stands out
// from it by ratio, or it is as light or as dark as it gets.
QColor StandOutFrom(const QColor& text, QColor background, double ratio) {
  const bool darken = Luminance(text) > Luminance(background);
  int lightness = background.lightness();
  while (ContrastRatio(text, background) < ratio && lightness > 0 && lightness < 255) {
    lightness += darken ? -1 : 1;
    background.setHsl(background.hslHue(), background.hslSaturation(), lightness);
  }
  return background;
}

// The base style's focus rectangle is a pale tint that low vision cannot find; this one is a
// solid line that stands out from what it is drawn over. It shows when the base style shows
// its own: after the keyboard moved the focus, or as a dialog opens.
class TFocusMarkStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
    if (element != PE_FrameFocusRect || !focus) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    if (!(option->state & State_KeyboardFocusChange)) return;
    // A selected row says what it is drawn over; a button's face or a window's ground else.
    const QColor background =
        focus->backgroundColor.isValid()
            ? focus->backgroundColor
            : option->palette.color(widget ? widget->backgroundRole() : QPalette::Window);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(FocusMarkColour(option->palette, background), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }
};

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette ReadablePalette(QPalette palette) {
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    const QColor text = palette.color(group, QPalette::HighlightedText);
    const QColor row = palette.color(group, QPalette::Highlight);
    if (ContrastRatio(text, row) < kSelectedTextContrast)
      palette.setColor(group, QPalette::Highlight, StandOutFrom(text, row, kSelectedTextContrast));
  }
  return palette;
}

QColor FocusMarkColour(const QPalette& palette, const QColor& background) {
  const QColor candidates[] = {palette.color(QPalette::Active, QPalette::Highlight),
                               palette.color(QPalette::Active, QPalette::HighlightedText),
                               palette.color(QPalette::Active, QPalette::WindowText)};
  for (const QColor& colour : candidates)
    if (ContrastRatio(colour, background) >= kFocusMarkContrast) return colour;
  return *std::max_element(std::begin(candidates), std::end(candidates),
                           [&](const QColor& a, const QColor& b) {
                             return ContrastRatio(a, background) < ContrastRatio(b, background);
                           });
}

void InstallReadableColours() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  // The proxy goes over a fresh copy of the style in use, which it then owns.
  QApplication::setStyle(new TFocusMarkStyle(QStyleFactory::create(QApplication::style()->name())));
  QApplication::setPalette(ReadablePalette(QApplication::palette()));
}

}  // namespace platform
