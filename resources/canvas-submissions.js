// SPDX-License-Identifier: GPL-3.0-or-later
// Body of an async function, called once in a course's assignments page after canvas-assignments:
// returns a JSON object mapping each assignment id to whether the student has submitted it.
// The assignment list canvas-assignments just read (with include[]=submission) is reused when it
// was for this course; otherwise the same endpoint is read here, so the states always belong to
// the list just merged.
const KEPT = '__vantoryCanvasSubmissionSource';
const SUBMITTED_STATES = ['submitted', 'graded', 'pending_review'];

const {fetchAllPages} = window.__vantoryCanvasApi;

const match = /^\/courses\/(\d+)(?:\/|$)/.exec(location.pathname);
if (!match)
    throw new Error(`${location.pathname} is not a course page`);
const course = match[1];
const kept = window[KEPT];
delete window[KEPT];
const assignments = kept && kept.course === course
    ? kept.assignments
    : await fetchAllPages(`/api/v1/courses/${course}/assignments?include[]=submission&per_page=100`);

const states = {};
for (const assignment of assignments) {
    const submission = assignment && assignment.submission;
    if (!submission || typeof submission !== 'object' || assignment.id === undefined || assignment.id === null)
        continue;
    states[String(assignment.id)] = Boolean(submission.submitted_at) ||
        SUBMITTED_STATES.includes(submission.workflow_state);
}
// A list without a single submission object says nothing about submissions; an empty map would
// pass for "all states read".
if (assignments.length > 0 && Object.keys(states).length === 0)
    throw new Error('the assignment list carries no submission states');
return JSON.stringify(states);
