// The twelve 16 x 16 images of the device trees (indexes of DevTreeImage):
// recorder, group, cameras by state (offline, online, recording, watched),
// alarm bell. They are the program's pictures "tree_0" to "tree_11"; a missing
// picture leaves a blank image of the same size.
#pragma once

#include <QIcon>
#include <vector>

std::vector<QIcon> MakeDevTreeImages();
