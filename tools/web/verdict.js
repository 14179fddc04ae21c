// A replay's verdict in words for the page's status line: what the game printed about the
// replay, and where a check differs, the read, each field that differs and its two values.
'use strict';
(function () {
  // The fields of a state line as dotted names (player.x) with their values as JSON text.
  function flatten(value, prefix, out) {
    if (value && typeof value === 'object' && !Array.isArray(value)) {
      for (const k of Object.keys(value)) flatten(value[k], prefix ? prefix + '.' + k : k, out);
    } else {
      out.set(prefix, JSON.stringify(value));
    }
    return out;
  }
  const parse = (text) => { try { return JSON.parse(text); } catch (e) { return undefined; } };
  // Fields named in one sentence at most; the rest are counted.
  const MOST_FIELDS = 3;

  // What differs between the recording's state line and this game's, in words.
  function describeLines(read, expected, actual) {
    const at = `The replay differs at read ${read}: `;
    if (expected === '(a game frame)') return at + 'the recording has a game frame there, this game has none.';
    const crc = /^CRC ([0-9a-f]{8})$/.exec(expected);
    if (crc) return at + `the recording keeps only a checksum of the state there (${crc[1]}), ` +
                     'and this game\'s state does not match it.';
    const want = parse(expected), got = parse(actual);
    if (!want || !got || typeof want !== 'object' || typeof got !== 'object')
      return at + `the recording has ${expected}, this game ${actual}.`;
    const a = flatten(want, '', new Map()), b = flatten(got, '', new Map());
    const names = [...new Set([...a.keys(), ...b.keys()])].filter((n) => a.get(n) !== b.get(n));
    // The picture's checksum differs whenever anything drawn does: named only when alone.
    const named = names.length > 1 ? names.filter((n) => n !== 'frame_crc') : names;
    if (!named.length) return at + 'the state lines are written differently.';
    const said = named.slice(0, MOST_FIELDS).map((n) =>
      `${n} is ${a.has(n) ? a.get(n) : 'missing'} in the recording but ${b.has(n) ? b.get(n) : 'missing'} in this game`);
    const more = named.length - said.length;
    return at + said.join('; ') + (more ? `; and ${more} more field${more > 1 ? 's' : ''} differ` : '') + '.';
  }

  // The verdict of a replay from the lines its run printed ('replay ended' when none says).
  function describeReplay(lines) {
    const out = [];
    for (let i = 0; i < lines.length; i++) {
      const differs = /replay differs at read (\d+)/.exec(lines[i]);
      const value = (j, name) => {
        const m = j < lines.length && new RegExp(`^\\s*${name}:\\s*(.*)$`).exec(lines[j]);
        return m ? m[1].trim() : '';
      };
      if (differs) {
        out.push(describeLines(differs[1], value(i + 1, 'expected'), value(i + 2, 'actual')));
        i += 2;
      } else if (/replay|recorded/.test(lines[i])) {
        out.push(lines[i].replace(/^\w+: /, '').trim());
      }
    }
    return out.length ? out.join(' ') : 'replay ended';
  }

  window.fwDescribeReplay = describeReplay;
})();
