-- Nothing is shared between teachers any more: tests and their questions become each
-- teacher's own, like attempts, and teachers hold exactly the rights Quizloom's statements
-- need. A statement after a line "-- server only" is the server's alone; this computer's
-- gradebook, of one account, leaves it out.

-- Whose test it is. On this computer a test is the file's own and the column stays empty.
ALTER TABLE tests ADD COLUMN collector VARCHAR(128) NOT NULL DEFAULT '';

ALTER TABLE test_questions ADD COLUMN collector VARCHAR(128) NOT NULL DEFAULT '';

CREATE UNIQUE INDEX tests_by_collector ON tests (collector, fingerprint);

INSERT INTO schema_version (version) VALUES (3);

-- A test that several teachers collected becomes a row of each, with its questions. A test
-- whose attempts were all deleted belongs to nobody and goes.
-- server only
ALTER TABLE tests DROP CONSTRAINT tests_fingerprint_key;

-- server only
UPDATE tests SET collector = COALESCE(
  (SELECT MIN(a.collector) FROM attempts a WHERE a.test_id = tests.id), '');

-- server only
INSERT INTO tests (collector, fingerprint, file_name, question_count)
  SELECT DISTINCT a.collector, t.fingerprint, t.file_name, t.question_count
  FROM attempts a JOIN tests t ON t.id = a.test_id
  WHERE a.collector <> t.collector;

-- server only
INSERT INTO test_questions (test_id, collector, number, question_text, question_marks,
                            answer_text, answer_marks)
  SELECT copy.id, copy.collector, q.number, q.question_text, q.question_marks, q.answer_text,
         q.answer_marks
  FROM test_questions q JOIN tests original ON original.id = q.test_id
  JOIN tests copy ON copy.fingerprint = original.fingerprint AND copy.id <> original.id;

-- server only
UPDATE attempts SET test_id = (
  SELECT copy.id FROM tests copy JOIN tests original ON original.fingerprint = copy.fingerprint
  WHERE original.id = attempts.test_id AND copy.collector = attempts.collector)
WHERE collector <> (SELECT t.collector FROM tests t WHERE t.id = attempts.test_id);

-- server only
UPDATE test_questions SET collector = (SELECT t.collector FROM tests t WHERE t.id = test_id)
WHERE collector = '';

-- server only
DELETE FROM tests WHERE collector = '';

-- Clients never choose ids, and every row hangs on a row of the same teacher: an attempt on
-- their own test, a question of their own test.
-- server only
ALTER TABLE tests
  ALTER COLUMN collector DROP DEFAULT,
  ALTER COLUMN id SET GENERATED ALWAYS,
  ADD UNIQUE (id, collector);

-- server only
ALTER TABLE test_questions
  ALTER COLUMN collector DROP DEFAULT,
  DROP CONSTRAINT test_questions_test_id_fkey,
  DROP CONSTRAINT test_questions_pkey,
  ADD PRIMARY KEY (test_id, collector, number),
  ADD FOREIGN KEY (test_id, collector) REFERENCES tests (id, collector) ON DELETE CASCADE;

-- server only
ALTER TABLE attempts
  ALTER COLUMN id SET GENERATED ALWAYS,
  DROP CONSTRAINT attempts_test_id_fkey,
  ADD FOREIGN KEY (test_id, collector) REFERENCES tests (id, collector);

-- Row security, one policy per command: everyone reads their own rows and a head of
-- department every row; everyone, heads too, adds and deletes only their own. Responses
-- follow their attempt.
-- server only
ALTER TABLE tests ENABLE ROW LEVEL SECURITY;

-- server only
ALTER TABLE test_questions ENABLE ROW LEVEL SECURITY;

-- server only
DROP POLICY own_attempts ON attempts;

-- server only
DROP POLICY own_responses ON responses;

-- server only
CREATE POLICY read_tests ON tests FOR SELECT
  USING (collector = current_user OR pg_has_role('quizloom_head', 'member'));

-- server only
CREATE POLICY add_tests ON tests FOR INSERT WITH CHECK (collector = current_user);

-- server only
CREATE POLICY read_questions ON test_questions FOR SELECT
  USING (collector = current_user OR pg_has_role('quizloom_head', 'member'));

-- server only
CREATE POLICY add_questions ON test_questions FOR INSERT WITH CHECK (collector = current_user);

-- server only
CREATE POLICY read_attempts ON attempts FOR SELECT
  USING (collector = current_user OR pg_has_role('quizloom_head', 'member'));

-- server only
CREATE POLICY add_attempts ON attempts FOR INSERT WITH CHECK (collector = current_user);

-- server only
CREATE POLICY delete_attempts ON attempts FOR DELETE USING (collector = current_user);

-- server only
CREATE POLICY read_responses ON responses FOR SELECT
  USING (EXISTS (SELECT 1 FROM attempts a WHERE a.id = attempt_id));

-- server only
CREATE POLICY add_responses ON responses FOR INSERT
  WITH CHECK (EXISTS (SELECT 1 FROM attempts a
                      WHERE a.id = attempt_id AND a.collector = current_user));

-- A table, sequence or function made later gets no rights by accident: each table file
-- grants its own.
-- server only
ALTER DEFAULT PRIVILEGES IN SCHEMA public REVOKE ALL ON TABLES FROM quizloom_teacher;

-- server only
ALTER DEFAULT PRIVILEGES IN SCHEMA public REVOKE ALL ON SEQUENCES FROM quizloom_teacher;

-- server only
ALTER DEFAULT PRIVILEGES REVOKE EXECUTE ON FUNCTIONS FROM PUBLIC;

-- Exactly the rights Quizloom's statements need. No UPDATE anywhere; INSERT leaves out the
-- ids; DELETE on attempts only, whose responses follow; schema_version is read only.
-- server only
REVOKE ALL ON schema_version, tests, test_questions, attempts, responses
  FROM PUBLIC, quizloom_teacher, quizloom_head;

-- server only
REVOKE ALL ON SEQUENCE tests_id_seq, attempts_id_seq FROM PUBLIC, quizloom_teacher, quizloom_head;

-- server only
GRANT SELECT ON schema_version, tests, test_questions, attempts, responses TO quizloom_teacher;

-- server only
GRANT INSERT (collector, fingerprint, file_name, question_count) ON tests TO quizloom_teacher;

-- server only
GRANT INSERT (test_id, collector, number, question_text, question_marks, answer_text,
              answer_marks)
  ON test_questions TO quizloom_teacher;

-- server only
GRANT INSERT (test_id, collector, fingerprint, first_name, last_name, course, period,
              instructor, test_file, year, month, day, correct_count, question_count)
  ON attempts TO quizloom_teacher;

-- server only
GRANT INSERT (attempt_id, position, number, correct, given_text, given_marks)
  ON responses TO quizloom_teacher;

-- server only
GRANT DELETE ON attempts TO quizloom_teacher;
