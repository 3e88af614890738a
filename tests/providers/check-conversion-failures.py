#!/usr/bin/env python3
"""Every malformed database stops the conversion loudly and leaves no table behind.

    check-conversion-failures.py <make-provider-table.py> <fixtures folder> <work folder>

For each fixtures/malformed/*.xml, and for a database that lacks the public-domain dedication
asked for: the generator exits non-zero, says why on stderr, and no output exists afterwards,
not even one left there by an earlier, good conversion.
"""

import glob
import os
import subprocess
import sys

# What the message must name, by fixture: the fault, not just "failed".
EXPECTED = {
    'apn-without-value': 'without its value',
    'balance-code-letters': 'balance code "*100#OK"',
    'bad-primary': 'primary="yes"',
    'cut-off': 'not well-formed',
    'empty-file': 'not well-formed',
    'letters-in-mnc': 'mnc="O1"',
    'long-mnc': 'mnc="0171"',
    'mismatched-tags': 'not well-formed',
    'missing-mnc': 'mnc="None"',
    'no-network-ids': 'no provider lists a GSM network id',
    'provider-without-name': 'without a name',
    'short-mcc': 'mcc="90"',
    'two-usages': 'more than one <usage>',
    'undefined-entity': 'not well-formed',
    'unknown-format': 'format "3.0"',
    'unknown-plan': 'unknown plan "monthly"',
    'unknown-usage': 'unknown usage "browsing"',
    'without-dedication': 'no public-domain dedication',
    'wrong-root': 'not <serviceproviders>',
}


def convert(tool, xml, work, extra):
    outputs = [os.path.join(work, name) for name in ('table.cpp', 'report.json')]
    if '--dedication' in extra:
        outputs.append(extra[extra.index('--dedication') + 1])
    for path in outputs:
        with open(path, 'w') as stale:
            stale.write('an earlier conversion\n')
    result = subprocess.run([sys.executable, tool, '--xml', xml, '--output', outputs[0], '--report', outputs[1],
                             '--function', 'check::Table', '--version', 'test'] + extra,
                            capture_output=True, text=True, timeout=120)
    left = [p for p in outputs if os.path.exists(p)]
    return result, left


def main():
    tool, fixtures, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    cases = {os.path.splitext(os.path.basename(p))[0]: (p, []) for p in glob.glob(os.path.join(fixtures, 'malformed', '*.xml'))}
    cases['without-dedication'] = (os.path.join(fixtures, 'edge-cases.xml'),
                                   ['--dedication', os.path.join(work, 'dedication.txt')])
    failures = []
    if set(cases) != set(EXPECTED):
        failures.append('fixtures and expectations differ: %s' % sorted(set(cases) ^ set(EXPECTED)))
    for name, (xml, extra) in sorted(cases.items()):
        result, left = convert(tool, xml, work, extra)
        said = result.stderr.strip()
        print('%-22s exit %d: %s' % (name, result.returncode, said))
        if result.returncode == 0:
            failures.append('%s: the conversion succeeded' % name)
        if name in EXPECTED and EXPECTED[name] not in said:
            failures.append('%s: the message does not say "%s"' % (name, EXPECTED[name]))
        if left:
            failures.append('%s: outputs left behind: %s' % (name, ', '.join(os.path.basename(p) for p in left)))

    # The same tool converts the good fixture: the failures above are the files', not the tool's.
    result, left = convert(tool, os.path.join(fixtures, 'edge-cases.xml'), work, [])
    if result.returncode != 0 or len(left) != 2:
        failures.append('edge-cases.xml did not convert: %s' % result.stderr.strip())

    for failure in failures:
        print('FAILED ' + failure)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
