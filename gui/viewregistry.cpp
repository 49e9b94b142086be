#include "viewregistry.h"

#include "aboutview.h"
#include "configview.h"
#include "loggerview.h"
#include "mainview.h"

#include "config/frmconfig.h"
#include "forms/about.h"
#include "logger/form1.h"
#include "schedule/mainwindow.h"

#include <QWidget>

#include <stdexcept>

namespace {

// A view for the model class registered under the window's name.
template <class View, class Model> ViewRegistry::Factory viewOf() {
    return [](Window& window, QWidget* parent) -> std::unique_ptr<QWidget> {
        auto* model = dynamic_cast<Model*>(&window);
        if (!model)
            throw std::logic_error("window " + window.name() + " is not the registered model");
        return std::make_unique<View>(*model, parent);
    };
}

} // namespace

void ViewRegistry::add(const std::string& windowName, Factory factory) {
    m_factories[windowName] = std::move(factory);
}

std::unique_ptr<QWidget> ViewRegistry::make(Window& window, QWidget* parent) const {
    const auto found = m_factories.find(window.name());
    return found == m_factories.end() ? nullptr : found->second(window, parent);
}

const ViewRegistry& systemViews() {
    static const ViewRegistry views = [] {
        ViewRegistry r;
        r.add("About", viewOf<AboutView, About>());
        r.add("frmConfig", viewOf<ConfigView, FrmConfig>());
        r.add("Form1", viewOf<LoggerView, Form1>());
        r.add("Main", viewOf<MainView, Main>());
        return r;
    }();
    return views;
}
