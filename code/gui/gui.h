// Every public header of the GUI toolkit.
#pragma once

#include "gui/event.h"
#include "gui/eventargs.h"
#include "gui/eventset.h"
#include "gui/hotkey.h"
#include "gui/mousecursor.h"
#include "gui/property.h"
#include "gui/propertyset.h"
#include "gui/region.h"
#include "gui/server.h"
#include "gui/style.h"
#include "gui/subscriber.h"
#include "gui/widget.h"
#include "gui/widgetfactory.h"
