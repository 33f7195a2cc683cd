"""espeak-ng through its library, for training speech with word timings.

The library reports where each word starts in the audio it synthesizes; the
training turns that into a word label per encoder frame, a frame-wise loss
that gets the encoder past the long plateau a transducer trained from scratch
sits on. Each worker process loads its own espeak-ng (the library is not
thread-safe).
"""

import ctypes
import random
from multiprocessing import Pool

import numpy as np
import torch
import torchaudio

from demo_model import HOP_SAMPLES, SAMPLE_RATE

AUDIO_OUTPUT_SYNCHRONOUS = 2
EVENT_LIST_TERMINATED, EVENT_WORD, EVENT_END = 0, 1, 5
RATE, PITCH, WORD_GAP = 1, 3, 7  # espeak_PARAMETER
CHARS_AUTO = 0
END_PAUSE = 0x1000  # without it the last word is cut short
POSITION_CHARACTER = 1
NO_WORD = -1  # frame label: silence, before the first or after the last word


class Event(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("unique_identifier", ctypes.c_uint),
                ("text_position", ctypes.c_int), ("length", ctypes.c_int),
                ("audio_position", ctypes.c_int), ("sample", ctypes.c_int),
                ("user_data", ctypes.c_void_p), ("id", ctypes.c_void_p)]


Callback = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.POINTER(ctypes.c_short), ctypes.c_int,
                            ctypes.POINTER(Event))


class Speaker:
    def __init__(self):
        self.lib = ctypes.CDLL("libespeak-ng.so.1")
        self.rate = self.lib.espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, None, 0)
        if self.rate <= 0:
            raise RuntimeError("espeak-ng could not be initialised")
        self.callback = Callback(self.collect)  # kept alive as long as the library uses it
        self.lib.espeak_SetSynthCallback(self.callback)
        self.chunks, self.word_starts, self.end = [], [], 0

    def collect(self, wav, count, events):
        if count > 0:
            self.chunks.append(np.ctypeslib.as_array(wav, (count,)).copy())
        i = 0
        while events[i].type != EVENT_LIST_TERMINATED:
            if events[i].type == EVENT_WORD:
                self.word_starts.append((events[i].text_position, events[i].sample))
            elif events[i].type == EVENT_END:
                self.end = events[i].sample
            i += 1
        return 0

    def speak(self, text, voice, style):
        """float samples at 16 kHz, the start sample of each word of the text
        (None where espeak-ng reported none), and the end sample of the speech."""
        self.chunks, self.word_starts, self.end = [], [], 0
        if self.lib.espeak_SetVoiceByName(voice.encode()) != 0:
            raise RuntimeError(f"espeak-ng has no voice {voice}")
        self.lib.espeak_SetParameter(RATE, style["speed"], 0)
        self.lib.espeak_SetParameter(PITCH, style["pitch"], 0)
        self.lib.espeak_SetParameter(WORD_GAP, style["gap"], 0)
        data = text.encode()
        self.lib.espeak_Synth(data, len(data) + 1, 0, POSITION_CHARACTER, 0, CHARS_AUTO | END_PAUSE,
                             None, None)
        self.lib.espeak_Synchronize()
        pcm = np.concatenate(self.chunks) if self.chunks else np.zeros(1, np.int16)
        samples = torchaudio.functional.resample(
            torch.from_numpy(pcm.astype(np.float32) / 32768.0), self.rate, SAMPLE_RATE)
        scale = SAMPLE_RATE / self.rate
        # The end event comes after the closing pause; the last word ends
        # where the sound does.
        sounding = np.nonzero(np.abs(pcm) > 32)[0]
        end = min(self.end or len(pcm), int(sounding[-1]) + 1 if len(sounding) else len(pcm))
        # Some voices report extra word events; the text position (counted
        # from 1) tells which event starts which word of the text.
        at_position = {position: int(sample * scale) for position, sample in self.word_starts}
        starts = [at_position.get(position + 1) for position in word_offsets(text)]
        return samples, starts, int(end * scale)


def word_offsets(text):
    offsets, previous = [], " "
    for index, character in enumerate(text):
        if character != " " and previous == " ":
            offsets.append(index)
        previous = character
    return offsets


def frame_labels(word_ids, word_starts, speech_end, lead, frame_count):
    """Word id (or NO_WORD) of each 10 ms feature frame."""
    labels = np.full(frame_count, NO_WORD, dtype=np.int16)
    if len(word_starts) != len(word_ids) or None in word_starts:
        return None  # no timing for some word: no frame labels for this utterance
    bounds = [s + lead for s in word_starts] + [speech_end + lead]
    for word, start, stop in zip(word_ids, bounds[:-1], bounds[1:]):
        labels[start // HOP_SAMPLES:max(start, stop) // HOP_SAMPLES] = word
    return labels


# ------------------------------------------------------------------ workers

_worker = {}


def _start_worker(make_features):
    torch.set_num_threads(1)
    _worker["speaker"] = Speaker()
    _worker["features"] = make_features()


def _render(job):
    from demo_data import augment  # noqa: deferred, demo_data imports this module
    seed, (text, voice, style), word_ids = job
    rng = random.Random(seed)
    if text:
        samples, starts, end = _worker["speaker"].speak(text, voice, style)
    else:  # no speech: a pause, which augmentation fills with noise
        samples, starts, end = torch.zeros(int(rng.uniform(0.3, 3.0) * SAMPLE_RATE)), [], 0
    augmented, lead = augment(samples.numpy(), rng)
    if not text and rng.random() < 0.2:
        augmented = torch.zeros_like(augmented)  # digital silence too
    features = _worker["features"](augmented)
    labels = frame_labels(word_ids, starts, end, lead, features.shape[1])
    return features.numpy(), labels


def render_with_labels(requests, word_ids, seed, make_features, workers=2):
    """(features fp16 [128, Tf] as numpy, frame labels or None) per request;
    make_features() builds the featuriser in each worker."""
    jobs = [(seed * 1000003 + i, r, w) for i, (r, w) in enumerate(zip(requests, word_ids))]
    with Pool(workers, initializer=_start_worker, initargs=(make_features,)) as pool:
        return pool.map(_render, jobs, chunksize=16)
