// qt_host.cpp: the Qt host, which builds, updates and tears down the forms' windows.
#include <QApplication>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <map>
#include <string>

#include "platform/errors.h"
#include "platform/form.h"
#include "platform/layout.h"
#include "platform/qt_app.h"
#include "qt_views.h"
#include "x11_release.h"

namespace platform {
namespace {

QRect qrect(const PixelRect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

// Qt scales for the screen by itself: the host lays out in pixels at 96 dpi.
constexpr int kLayoutDpi = 96;

}  // namespace

struct QtHost::Views {
  Runtime* runtime = nullptr;
  std::map<int, std::unique_ptr<FormWindow>> windows;
  std::map<std::string, QPixmap, std::less<>> pictures;
  QMargins windowFrame;  // the window manager's, as last seen around one of the windows
  // Each button release where the player let go, however late it is read (on X11 only).
  std::unique_ptr<X11ReleaseFilter> releases = X11ReleaseFilter::install();

  // Pictures are decoded once, from the resources compiled in, and shared by every load.
  const QPixmap& picture(std::string_view name) {
    auto found = pictures.find(name);
    if (found != pictures.end()) return found->second;
    QPixmap pixmap(pictureResource(name));
    if (pixmap.isNull()) throw RuntimeError(ErrorNumber::InvalidPicture, name);
    return pictures.emplace(std::string(name), std::move(pixmap)).first->second;
  }
  PictureSizes pictureSizes() {
    return [this](std::string_view name) {
      const QSize size = picture(name).deviceIndependentSize().toSize();
      return PixelSize{size.width(), size.height()};
    };
  }

  QWidget* build(const Form& form, int index, const ControlLayout& layout, FormWindow& window);
  static void order(const FormLayout& layout, FormWindow& window);
};

QWidget* QtHost::Views::build(const Form& form, int index, const ControlLayout& layout,
                              FormWindow& window) {
  const ControlDesign& row = form.design().controls[static_cast<std::size_t>(index)];
  QWidget* parent = &window;
  const int slot = form.slot();
  const auto generation = form.generation();
  Runtime* target = runtime;
  auto click = [target, slot, generation, index] { target->click(slot, generation, index); };
  const QString caption = qs(form.loadedControl(index).caption);
  auto& setCaption = window.setCaption[static_cast<std::size_t>(index)];
  switch (row.kind) {
    case ControlKind::PictureBox:
      return new PictureBoxView(parent, picture(row.picture), layout.edge, click);
    case ControlKind::CommandButton: {
      auto* button = new QPushButton(caption, parent);
      button->setAutoDefault(false);
      button->setDefault(false);
      QObject::connect(button, &QPushButton::clicked, button, click);
      setCaption = [button](const QString& text) { button->setText(text); };
      return button;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(caption, parent);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignTop |
                          (row.alignment == Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft));
      setCaption = [label](const QString& text) { label->setText(text); };
      return label;
    }
    case ControlKind::Frame: {
      auto* frame = new QGroupBox(caption, parent);
      setCaption = [frame](const QString& text) { frame->setTitle(text); };
      return frame;
    }
  }
  return nullptr;
}

void QtHost::Views::order(const FormLayout& layout, FormWindow& window) {
  const auto widget = [&window](int index) {
    return window.controls[static_cast<std::size_t>(index)];
  };
  // Qt's focus chain steps Tab and Shift+Tab; a click focuses only what the order holds.
  for (std::size_t i = 0; i < window.controls.size(); ++i) {
    const bool takes = layout.takesFocus(static_cast<int>(i));
    window.controls[i]->setFocusPolicy(takes ? Qt::StrongFocus : Qt::NoFocus);
  }
  for (std::size_t k = 1; k < layout.tabOrder.size(); ++k)
    QWidget::setTabOrder(widget(layout.tabOrder[k - 1]), widget(layout.tabOrder[k]));
  if (layout.firstFocus() >= 0) widget(layout.firstFocus())->setFocus();
  // Raised from the bottom of the pile up, the top last.
  for (auto row = layout.stacking.rbegin(); row != layout.stacking.rend(); ++row)
    widget(*row)->raise();
}

QtHost::QtHost() : views_(std::make_unique<Views>()) {}

QtHost::~QtHost() {
  views_->windows.clear();
  // Windows unloaded during the last events are still waiting for the event loop.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtHost::attach(Runtime& runtime) { views_->runtime = &runtime; }

void QtHost::loaded(const Form& form) {
  const FormDesign& design = form.design();
  Runtime* target = views_->runtime;
  const int slot = form.slot();
  const auto generation = form.generation();
  auto window = std::make_unique<FormWindow>(
      [target, slot, generation] { target->closeRequest(slot, generation); }, views_->windowFrame);
  window->setObjectName(qs(design.name));
  window->setWindowTitle(qs(design.caption));
  if (!design.icon.empty()) window->setWindowIcon(QIcon(views_->picture(design.icon)));
  const FormLayout layout = layOut(form, kLayoutDpi, views_->pictureSizes());
  window->setCaption.resize(design.controls.size());
  for (std::size_t i = 0; i < design.controls.size(); ++i) {
    const ControlLayout& control = layout.controls[i];
    QWidget* widget = views_->build(form, static_cast<int>(i), control, *window);
    widget->setObjectName(qs(design.controls[i].name));
    widget->setGeometry(qrect(control.rect));
    if (!control.accessibleName.empty()) widget->setAccessibleName(qs(control.accessibleName));
    window->controls.push_back(widget);
  }
  Views::order(layout, *window);
  window->centre(QSize(layout.client.width, layout.client.height));
  views_->windows[slot] = std::move(window);
}

void QtHost::shown(const Form& form) {
  FormWindow* window = views_->windows.at(form.slot()).get();
  window->show();
  window->raise();
  window->activateWindow();
}

void QtHost::unloaded(const Form& form) {
  auto found = views_->windows.find(form.slot());
  if (found == views_->windows.end()) return;
  // Hidden now, freed once the running event is over: the handler that unloads a window may
  // have been called from one of its own widgets.
  FormWindow* window = found->second.release();
  views_->windows.erase(found);
  window->hide();
  window->deleteLater();
}

void QtHost::changed(const Form& form, int index, Change what) {
  FormWindow& window = *views_->windows.at(form.slot());
  const auto at = static_cast<std::size_t>(index);
  if (what == Change::Position) {
    window.controls.at(at)->setGeometry(
        qrect(layOutControl(form, index, kLayoutDpi, views_->pictureSizes()).rect));
  } else {
    window.setCaption.at(at)(qs(form.loadedControl(index).caption));
  }
}

static void runBox(QMessageBox::Icon icon, std::string_view text, std::string_view title) {
  QMessageBox box(icon, qs(title), qs(text), QMessageBox::Ok);
  box.setObjectName(QStringLiteral("MsgBox"));
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void QtHost::messageBox(std::string_view prompt, std::string_view title) {
  runBox(QMessageBox::NoIcon, prompt, title);
}

void QtHost::errorBox(std::string_view text, std::string_view title) {
  runBox(QMessageBox::Critical, text, title);
}

void QtHost::quit(int status) { QCoreApplication::exit(status); }

}  // namespace platform
