#pragma once
// Changes the engine makes to its tables in place: adding entries to
// main.dmg, the fixed-slot temporary-word table, promoting a temporary word
// to a user word, and deleting the last committed entry.

#include "engine/engine_context.h"

namespace zv {

enum class AddResult { Added, Exists, Failed };

// Adds a record to a code table (main.dmg): into the free gap below the
// records when it fits, otherwise by growing the file. The mapping may move.
AddResult addEntry(EngineContext& ctx, DataSlot slot, const RecordBuffer& record);

// Adds a temporary word (record of at most 260 bytes) as the newest; when the
// table is full the oldest word makes room.
bool addTempWord(EngineContext& ctx, const RecordBuffer& record);
// Removes the temporary word at index position i; the ages stay dense.
bool removeTempWord(EngineContext& ctx, uint32_t i);
// Empties temp.dmg in place.
void clearTempWords(EngineContext& ctx);

// The candidate at list index i came from temp.dmg and was committed: make
// it a user word of main.dmg (order value 1024) and take it out of temp.dmg.
bool promoteTempWord(EngineContext& ctx, int listIndex);

// Remembers the committed candidate for 在线删词.
void rememberCommittedEntry(EngineContext& ctx, const Candidate& c);
// The confirmation text for deleting the remembered entry (empty: nothing
// that can be deleted is remembered).
std::u16string deleteConfirmationText(const EngineContext& ctx);
// Asks through the platform's dialogs and marks the entry deleted on OK.
bool deleteLastCommitted(EngineContext& ctx);

// The record at `offset` of a table, to change its attribute word in place
// while the caller holds a FolderWrite: null unless the index lists a
// record that begins there (offsets kept from before another process moved
// the records are never written through) and the table is mapped for
// writing.
uint8_t* writableRecord(EngineContext& ctx, DataSlot slot, uint32_t offset);
// The same for a candidate of main.dmg.
uint8_t* writableRecord(EngineContext& ctx, const Candidate& c);

// Sets or clears the deleted bit of a code-table record in place.
bool setEntryDeleted(EngineContext& ctx, DataSlot slot, uint32_t offset, bool deleted);

}  // namespace zv
