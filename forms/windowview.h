#pragma once

#include "window.h"

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <typeindex>
#include <typeinfo>
#include <utility>

// A desktop's view of one window, as the window's life on the desktop uses it. A view is
// made, and takes the size it needs, before its window loads, so the window places itself
// with the size it really has.
class WindowView {
  public:
    virtual ~WindowView() = default;
    // The model's state and geometry once it has loaded, and the window on the screen.
    virtual void showModel() = 0;
    // The desktop's events, the window modal over the program's others, until the model
    // has unloaded.
    virtual void runModal() = 0;
};

// Loads the window and shows it in its view; false when it closed during its load.
bool openWindow(Window& window, WindowView& view);
// Shows the window modally in its view and returns once it has unloaded. A window the
// desktop has no view for cannot be shown, so it does not stay loaded.
void showModal(Window& window, WindowView* view);

// The views of a desktop, one factory for each class of window, registered once as the
// programs are: the factory gets the model as its own class, so no cast picks a view.
// Args are what the desktop hands every new view (its parent or owner window).
template <class View, class... Args> class WindowViews {
  public:
    template <class Model> using Factory = std::function<std::unique_ptr<View>(Model&, Args...)>;

    // Throws std::logic_error when the class already has a view.
    template <class Model> void add(Factory<Model> factory) {
        const auto [at, added] =
            m_factories.emplace(std::type_index(typeid(Model)),
                                [factory = std::move(factory)](Window& window, Args... args) {
                                    // The key is the window's own class, so the model is a Model.
                                    return factory(static_cast<Model&>(window), args...);
                                });
        if (!added)
            throw std::logic_error("a view of this window class is registered twice");
    }
    // The view class ConcreteView, made from the model and the desktop's arguments.
    template <class Model, class ConcreteView> void add() {
        add<Model>([](Model& model, Args... args) -> std::unique_ptr<View> {
            return std::make_unique<ConcreteView>(model, args...);
        });
    }

    // Null when no view is registered for the window's class.
    std::unique_ptr<View> make(Window& window, Args... args) const {
        const auto found = m_factories.find(std::type_index(typeid(window)));
        return found == m_factories.end() ? nullptr : found->second(window, args...);
    }

  private:
    std::map<std::type_index, std::function<std::unique_ptr<View>(Window&, Args...)>> m_factories;
};
