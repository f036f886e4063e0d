#pragma once

// Every control kind, for window classes.
#include "ui/application.h"
#include "ui/buttons.h"
#include "ui/containers.h"
#include "ui/dialogs.h"
#include "ui/menu_item.h"
#include "ui/picture.h"
#include "ui/range_controls.h"
#include "ui/text_controls.h"
#include "ui/timer.h"
#include "ui/window.h"
