// A movie whose every frame looks different, for checks that need to tell frames apart:
// frame k (from 1) shows one red square, cellSize pixels wide, in cell k of a grey strip.
import { writeFileSync } from "node:fs";

class Bits {
  constructor() {
    this.bytes = [];
    this.bit = 0;
  }
  put(value, count) {
    for (let i = count - 1; i >= 0; i--) {
      if (this.bit === 0) this.bytes.push(0);
      if ((value >> i) & 1) this.bytes[this.bytes.length - 1] |= 0x80 >> this.bit;
      this.bit = (this.bit + 1) & 7;
    }
  }
  signed(value, count) {
    this.put(value < 0 ? value + 2 ** count : value, count);
  }
  align() {
    this.bit = 0;
  }
}

const rect = (bits, width, height) => {
  bits.put(16, 5);
  for (const value of [0, width, 0, height]) bits.signed(value, 16);
  bits.align();
};
const u16 = (value) => [value & 0xff, value >> 8];
const record = (code, body) =>
  body.length < 63 ? [...u16((code << 6) | body.length), ...body] : [...u16((code << 6) | 63), ...u16(body.length), 0, 0, ...body];

// ADPCM sound data of the SWF format: packets of 4096 samples (a 16-bit start, a 6-bit step
// index, then 4-bit codes) of a loud square wave, packed bit after bit.
export function adpcmTone(packets) {
  const bits = new Bits();
  bits.put(2, 2);  // 4-bit codes
  for (let packet = 0; packet < packets; packet++) {
    bits.put(0, 16);
    bits.put(40, 6);
    for (let i = 1; i < 4096; i++) bits.put((i >> 3) & 1 ? 0xf : 0x7, 4);  // 8 samples up, 8 down
  }
  return bits.bytes;
}

// The FWS bytes of the movie: frames frames at rate frames a second. With sound ({ mp3, frame }),
// the MP3 file's bytes are an event sound that a StartSound starts at that frame (from 1);
// with { adpcm, format, frame } ADPCM data in that format byte; with inSprite the StartSound
// is in the one frame of a sprite placed at that frame.
export function countingMovie({ frames = 8, cellSize = 20, rate = 12, sound = null } = {}) {
  const side = cellSize * 20;
  const shape = new Bits();
  shape.bytes.push(...u16(1));
  rect(shape, side, side);
  shape.bytes.push(1, 0x00, 0xff, 0, 0, 0, 0x10);  // one solid red fill, no lines; 1 fill bit, 0 line bits
  shape.put(0b000101, 6);  // style change: fill style 1, move to
  shape.put(1, 5);
  shape.put(0, 1);
  shape.put(0, 1);
  shape.put(1, 1);
  for (const [dx, dy] of [[side, 0], [0, side], [-side, 0], [0, -side]]) {
    shape.put(0b11, 2);  // straight edge
    shape.put(14, 4);  // 16 bits a delta
    shape.put(1, 1);
    shape.signed(dx, 16);
    shape.signed(dy, 16);
  }
  shape.put(0, 6);
  shape.align();
  let tags = [...record(9, [0x80, 0x80, 0x80]), ...record(2, shape.bytes)];
  if (sound?.mp3) tags = [...tags, ...record(14, [...u16(2), 0x2a, 0, 0, 0, 0, 0, 0, ...sound.mp3])];  // MP3, 22 kHz, 16 bits, mono
  if (sound?.adpcm) tags = [...tags, ...record(14, [...u16(2), sound.format, 0, 0, 0, 0, ...sound.adpcm])];
  if (sound?.inSprite) tags = [...tags, ...record(39, [...u16(3), ...u16(1), ...record(15, [...u16(2), 0]), ...record(1, []), 0, 0])];
  for (let frame = 0; frame < frames; frame++) {
    if (sound && sound.frame === frame + 1) {
      tags = [...tags, ...(sound.inSprite ? record(26, [0x06, ...u16(2), ...u16(3), 0]) : record(15, [...u16(2), 0]))];
    }
    const place = new Bits();
    place.bytes.push(frame === 0 ? 0x06 : 0x05, ...u16(1));
    if (frame === 0) place.bytes.push(...u16(1));
    place.put(0, 1);
    place.put(0, 1);
    place.put(17, 5);
    place.signed(frame * side, 17);
    place.signed(0, 17);
    place.align();
    tags = [...tags, ...record(26, place.bytes), ...record(1, [])];
  }
  tags.push(0, 0);
  const header = new Bits();
  rect(header, side * frames, side);
  const body = [...header.bytes, 0, rate, ...u16(frames), ...tags];
  const length = 8 + body.length;
  return Buffer.from([0x46, 0x57, 0x53, 8, length & 0xff, (length >> 8) & 0xff, (length >> 16) & 0xff, length >>> 24, ...body]);
}

// Which cell of a picture of the movie (decoded RGBA) is red: the frame it shows, 0 for none.
export function shownFrame(pixels, { cellSize = 20 } = {}) {
  const y = Math.floor(pixels.height / 2);
  const cells = Math.round(pixels.width / cellSize);
  const scale = pixels.width / (cells * cellSize);
  for (let cell = 0; cell < cells; cell++) {
    const offset = (y * pixels.width + Math.floor((cell + 0.5) * cellSize * scale)) * 4;
    if (pixels.rgba[offset] > 200 && pixels.rgba[offset + 1] < 60) return cell + 1;
  }
  return 0;
}

if (process.argv[1] && import.meta.url.endsWith(process.argv[1].split("/").pop())) {
  writeFileSync(process.argv[2], countingMovie());
}
