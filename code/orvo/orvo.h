// Every public header of the orvo engine.
#pragma once

#include "orvo/app/a_file.h"
#include "orvo/app/a_localeserver.h"
#include "orvo/app/a_optionsfile.h"
#include "orvo/app/a_scriptloader.h"
#include "orvo/util/a_assert.h"
#include "orvo/util/a_crc32.h"
#include "orvo/util/a_criticalsection.h"
#include "orvo/util/a_exception.h"
#include "orvo/util/a_format.h"
#include "orvo/util/a_geometry.h"
#include "orvo/util/a_log.h"
#include "orvo/util/a_random.h"
#include "orvo/util/a_singleton.h"
#include "orvo/util/a_string.h"
#include "orvo/util/a_stringlist.h"
#include "orvo/util/a_timer.h"
