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

const ViewRegistry& systemViews() {
    static const ViewRegistry views = [] {
        ViewRegistry r;
        r.add<About, AboutView>();
        r.add<FrmConfig, ConfigView>();
        r.add<Form1, LoggerView>();
        r.add<Main, MainView>();
        return r;
    }();
    return views;
}
