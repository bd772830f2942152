// Support unit of the editor: paragraph store, display lines, navigator and shared types.
#pragma once

#include "editor/DynArray.h"
#include "editor/DynInfo.h"
#include "editor/LinesList.h"
#include "editor/Navigator.h"
#include "editor/Options.h"
#include "editor/Paragraphs.h"
#include "editor/StoreCheck.h"
#include "editor/Types.h"
#include "editor/WideStr.h"
