// The server's JSON API. Every call is independent: the page sends the whole
// blueprint each time and keeps no session on the server.

export class ApiError extends Error {
  constructor(status, body) {
    super(body && body.error ? body.error : `HTTP ${status}`);
    this.status = status;
    this.reports = (body && body.reports) || [];
  }
}

async function answer(response) {
  const type = response.headers.get('Content-Type') || '';
  if (!type.startsWith('application/json')) {
    if (!response.ok) throw new ApiError(response.status, null);
    return response.blob();
  }
  const body = await response.json();
  if (!response.ok) throw new ApiError(response.status, body);
  return body;
}

export async function get(path) {
  return answer(await fetch(`api/${path}`));
}

export async function post(path, request, signal) {
  return answer(await fetch(`api/${path}`, {
    method: 'POST',
    headers: {'Content-Type': 'application/json'},
    body: JSON.stringify(request),
    signal,
  }));
}

// Offers text or a blob to the user as a file.
export function download(name, content, type = 'application/json') {
  const blob = content instanceof Blob ? content : new Blob([content], {type});
  const url = URL.createObjectURL(blob);
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}
