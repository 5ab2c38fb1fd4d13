#!/usr/bin/env node
// A central system for the bridge's tests, built on ocpp-ts, an OCPP 1.6J
// implementation no one here wrote. Its server checks every CALL of the
// charge point against the OCPP 1.6 JSON schemas (a payload that fails is
// answered with a CALLERROR FormationViolation); this script also checks
// every CALLRESULT the charge point returns against the response schemas.
//
// Every event is one JSON line on stdout; commands are JSON lines on stdin:
//   {"call": ACTION, "payload": {...}}   send a CALL to the charge point
//   {"raw": TEXT}                        send TEXT as one frame, unchanged
//   {"close": true}                      close the charge point's connection
// Options:
//   --port N                 listen on N (default 0: any free port; the
//                            "listening" event names it)
//   --tls CERT KEY           wss:// with this certificate and key (PEM)
//   --password P             require HTTP Basic "<charge point id>:P"
//   --heartbeat N            interval in the BootNotification answer (60)
//   --boot-status S          Accepted (default), Pending or Rejected
//   --first-transaction N    first transactionId handed out (1)
//   --reject-tag TAG         Authorize and StartTransaction of TAG: Invalid
//   --crash-on ACTION        exit at once, unanswered, on the first CALL ACTION
//   --refuse ACTION N        answer the first N CALLs ACTION with CALLERROR InternalError
// Ends when stdin closes.
'use strict';

const fs = require('fs');
const http = require('http');
const https = require('https');
const path = require('path');
const readline = require('readline');

const { OcppServer, OcppError } = require('ocpp-ts');
const schemas = require('ocpp-ts/dist/src/impl/schemas').default;
const { Protocol } = require('ocpp-ts/dist/src/impl/Protocol');
const Ajv = require(require.resolve('ajv', { paths: [path.dirname(require.resolve('ocpp-ts'))] }));

function out(event) {
  process.stdout.write(JSON.stringify(event) + '\n');
}

const opt = {
  port: 0, tls: null, password: null, heartbeat: 60, bootStatus: 'Accepted',
  nextTransaction: 1, rejectTags: new Set(), crashOn: null, refuse: {},
};
const argv = process.argv.slice(2);
for (let i = 0; i < argv.length; ++i) {
  const a = argv[i];
  if (a === '--port') opt.port = Number(argv[++i]);
  else if (a === '--tls') opt.tls = { cert: fs.readFileSync(argv[++i]), key: fs.readFileSync(argv[++i]) };
  else if (a === '--password') opt.password = argv[++i];
  else if (a === '--heartbeat') opt.heartbeat = Number(argv[++i]);
  else if (a === '--boot-status') opt.bootStatus = argv[++i];
  else if (a === '--first-transaction') opt.nextTransaction = Number(argv[++i]);
  else if (a === '--reject-tag') opt.rejectTags.add(argv[++i]);
  else if (a === '--crash-on') opt.crashOn = argv[++i];
  else if (a === '--refuse') { opt.refuse[argv[i + 1]] = Number(argv[i + 2]); i += 2; }
  else { process.stderr.write(`csms.js: unknown option ${a}\n`); process.exit(2); }
}

// The server ocpp-ts creates, caught to learn its port.
let httpServer = null;
for (const mod of [http, https]) {
  const create = mod.createServer;
  mod.createServer = function (...args) {
    httpServer = create.apply(this, args);
    return httpServer;
  };
}

// Every CALL as it arrives, before ocpp-ts checks it; every CALLERROR ocpp-ts sends.
const onCall = Protocol.prototype.onCall;
Protocol.prototype.onCall = function (messageId, action, payload) {
  out({ ev: 'call', id: messageId, action, payload });
  if (opt.crashOn === action) {
    out({ ev: 'crash', action });
    process.exit(3);
  }
  if (opt.refuse[action] > 0) {
    opt.refuse[action] -= 1;
    this.callError(messageId, new OcppError('InternalError', 'refused for the test'));
    return undefined;
  }
  return onCall.call(this, messageId, action, payload);
};
const callError = Protocol.prototype.callError;
Protocol.prototype.callError = function (messageId, error) {
  out({ ev: 'callerror-sent', id: messageId, code: error.code, description: error.message, details: error.details });
  return callError.call(this, messageId, error);
};

const ajv = new Ajv({ allErrors: true });
function responseErrors(action, payload) {
  const schema = Object.assign({}, schemas[`${action}Response`]);
  delete schema.$schema;
  const validate = ajv.compile(schema);
  return validate(payload) ? null : validate.errors;
}

const server = new OcppServer();
let client = null;
const rawCalls = new Map(); // id of a CALL sent raw -> its action

if (opt.password !== null) {
  server.on('authorization', (cpId, req, cb) => {
    const expected = 'Basic ' + Buffer.from(`${cpId}:${opt.password}`).toString('base64');
    const ok = req.headers.authorization === expected;
    out({ ev: 'auth', cpId, ok });
    cb(ok ? undefined : new Error('Unauthorized'));
  });
}

server.on('connection', (c) => {
  client = c;
  const socket = c.connection.socket;
  out({ ev: 'connected', cpId: c.getCpId(), protocol: socket.protocol });
  socket.on('message', (m) => {
    const text = m.toString();
    out({ ev: 'frame', text });
    // The answer to a CALL sent raw is checked like any other.
    let frame = null;
    try { frame = JSON.parse(text); } catch (e) { return; }
    if (Array.isArray(frame) && frame[0] === 3 && rawCalls.has(frame[1])) {
      const action = rawCalls.get(frame[1]);
      rawCalls.delete(frame[1]);
      const errors = responseErrors(action, frame[2]);
      out({ ev: 'result', action, id: frame[1], payload: frame[2], valid: errors === null, errors });
    }
  });
  c.on('close', (code) => {
    out({ ev: 'closed', code });
    if (client === c) client = null;
  });
  const now = () => new Date().toISOString();
  c.on('BootNotification', (req, cb) => cb({ status: opt.bootStatus, currentTime: now(), interval: opt.heartbeat }));
  c.on('Heartbeat', (req, cb) => cb({ currentTime: now() }));
  c.on('StatusNotification', (req, cb) => cb({}));
  c.on('Authorize', (req, cb) => cb({ idTagInfo: { status: opt.rejectTags.has(req.idTag) ? 'Invalid' : 'Accepted' } }));
  c.on('StartTransaction', (req, cb) => cb({
    transactionId: opt.nextTransaction++,
    idTagInfo: { status: opt.rejectTags.has(req.idTag) ? 'Invalid' : 'Accepted' },
  }));
  c.on('StopTransaction', (req, cb) => cb({ idTagInfo: { status: 'Accepted' } }));
  c.on('MeterValues', (req, cb) => cb({}));
});

readline.createInterface({ input: process.stdin }).on('line', async (line) => {
  let cmd;
  try {
    cmd = JSON.parse(line);
  } catch (e) {
    out({ ev: 'bad-command', line });
    return;
  }
  if (!client) {
    out({ ev: 'no-client', cmd });
    return;
  }
  if (cmd.raw !== undefined) {
    try {
      const frame = JSON.parse(cmd.raw);
      if (Array.isArray(frame) && frame[0] === 2 && schemas[`${frame[2]}Response`]) rawCalls.set(frame[1], frame[2]);
    } catch (e) { /* sent as it is */ }
    client.connection.socket.send(cmd.raw);
  } else if (cmd.close) {
    client.connection.socket.close();
  } else if (cmd.call) {
    try {
      const payload = await client.callRequest(cmd.call, cmd.payload || {});
      const errors = responseErrors(cmd.call, payload);
      out({ ev: 'result', action: cmd.call, payload, valid: errors === null, errors });
    } catch (e) {
      out({ ev: 'error', action: cmd.call, code: e.code, description: e.message });
    }
  }
}).on('close', () => process.exit(0));

server.listen(opt.port, opt.tls || undefined);
httpServer.on('listening', () => out({ ev: 'listening', port: httpServer.address().port }));
httpServer.on('error', (e) => { out({ ev: 'listen-error', message: e.message }); process.exit(4); });
