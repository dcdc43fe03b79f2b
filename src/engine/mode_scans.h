// The cleaning modes' recipes: fixed sequences of scanner steps over the
// catalogue. The machine is asked at scan time for what may change while the
// program runs (drives, TMP, ALLUSERSPROFILE, the cookies folder).
#pragma once
#include "engine/catalogue.h"
#include "engine/cleaning_mode.h"
#include "engine/definitions.h"
#include "engine/found_item_sink.h"
#include "sys/machine.h"

namespace klarex {

// Runs the mode's recipe, then the places of `extended` (definition files)
// that belong to the mode, then tells the sink that the scan is over.
void ScanMode(CleaningMode mode, const Catalogue& catalogue, IMachine& machine,
              IFoundItemSink& sink, const std::vector<Place>& extended = {});

// The recipes alone, without the end of the scan.
void ScanStandard(const Catalogue& catalogue, IMachine& machine, IFoundItemSink& sink);
void ScanCookies(const Catalogue& catalogue, IMachine& machine, IFoundItemSink& sink);
void ScanOfflineTemp(const Catalogue& catalogue, IMachine& machine, IFoundItemSink& sink);

}  // namespace klarex
