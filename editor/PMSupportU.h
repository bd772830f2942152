// Support unit of the editor: paragraph store, display lines, navigator and shared types.
#pragma once

#include "editor/control/Options.h"
#include "editor/store/DynArray.h"
#include "editor/store/DynInfo.h"
#include "editor/store/LinesList.h"
#include "editor/store/Navigator.h"
#include "editor/store/Paragraphs.h"
#include "editor/store/StoreCheck.h"
#include "editor/store/Types.h"
#include "editor/store/WideStr.h"
