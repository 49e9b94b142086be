#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

class QWidget;
class Window;

// The Qt view of each window model, found by the window's name. A modal window's view is
// a QDialog (see ModalView); a main window's view emits closed() once its model has
// unloaded and has a slot showModel() that shows the state the model's load left.
class ViewRegistry {
  public:
    using Factory = std::function<std::unique_ptr<QWidget>(Window& window, QWidget* parent)>;

    void add(const std::string& windowName, Factory factory);
    // Null when no view is registered for the window.
    std::unique_ptr<QWidget> make(Window& window, QWidget* parent = nullptr) const;

  private:
    std::map<std::string, Factory> m_factories;
};

// The views of every window of the system: About, frmConfig, Main, Form1.
const ViewRegistry& systemViews();
