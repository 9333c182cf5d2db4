#include "widgets/WidgetApp.h"

namespace Velm {

namespace {
WidgetApp* gWidgetApp = nullptr;
}  // namespace

WidgetApp* WidgetApp::Get() { return gWidgetApp; }

void WidgetApp::Set(WidgetApp* app) { gWidgetApp = app; }

}  // namespace Velm
