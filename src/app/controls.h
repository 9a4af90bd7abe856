#pragma once
// The control kinds as Qt widgets: creating a control from its definition, its menu bar, and reading and
// setting a control's properties by name.
#include "app/shell.h"
#include "forms/definition.h"

#include <functional>

class QMenuBar;
class QObject;
class QWidget;

using EventSink = std::function<void(const Binding &)>;

QObject *createControl(const ControlDef &def, QWidget *client, QObject *window, const EventSink &events,
                       const ControlTexts &texts);
QMenuBar *buildMenuBar(const WindowDef &def, QWidget *window, const EventSink &events);

// Give false for a property that the control's kind does not have, or a value of the wrong type.
bool setControlProperty(const ControlDef &def, QObject *control, Property property, const PropertyValue &value);
std::optional<PropertyValue> controlProperty(const ControlDef &def, const QObject *control, Property property);

// The platform's default user-interface font, or the bold 12-pixel font of the table window.
QFont fontOf(FontKind kind);
