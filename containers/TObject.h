#pragma once

// The opaque object a string list keeps beside each string. The lists store
// pointers to it, hand them back and compare them by address; they never
// look inside one and never own one. String lists are TObjects themselves,
// so one list can hang beside a string of another.
struct TObject {
};
