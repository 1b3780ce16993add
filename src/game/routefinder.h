#pragma once

#include "board.h"
#include "routesearch.h"

// The keyboard's path search is the rules' one; the game knows it by this name.
using RouteFinder = rules::RouteSearch;
