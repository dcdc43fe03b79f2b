// Icons and bitmaps.
#pragma once
