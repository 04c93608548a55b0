#pragma once

#include "advice/pool_ratings.h"

class UiServices;

// The rating bounds in force for the program: the user's ratings.toml, else the one installed beside
// the program, else the built-in bounds. A file that cannot be used is told in a box with its lines,
// and the pools are then rated with the built-in bounds.
ornexa::RatingSettings SiteRatingSettings(UiServices& ui);
