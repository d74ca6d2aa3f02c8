// Share modes between openers of one file, in this process and in others.
// Each opener announces what it does and what it denies as shared
// open-file-description locks on bytes far beyond any real data; the locks go
// with the file description, so they end when its last descriptor closes,
// however the process ends.
#pragma once

namespace platform {

struct ShareRequest {
  bool reading = false;
  bool writing = false;
  bool deniesRead = false;
  bool deniesWrite = false;
  bool deniesDelete = false;
};

// Announces the request, then looks for another opener it conflicts with.
// Announcing before looking makes the check and the hold one step: of two
// conflicting openers racing each other, at most one succeeds. False on a
// conflict. A descriptor open for writing only cannot hold shared locks; it
// is checked against the others but announces nothing.
bool TakeShareLocks(int fd, const ShareRequest& request, bool canAnnounce);

// For a deleter: announces the deletion, then true when no other opener
// denies deleting. The announcement lasts as long as fd stays open.
bool MayDelete(int fd);

}  // namespace platform
